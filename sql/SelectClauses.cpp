#include "sql/SelectClauses.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>

#include "framework/AsciiCase.h"
#include "sql/SqlClauseTokens.h"
#include "sql/SqlTokenText.h"

namespace tabulix {
namespace {

constexpr std::string_view kStop = ";";

bool OneOf(std::string_view word, std::initializer_list<std::string_view> list) {
  return std::find(list.begin(), list.end(), word) != list.end();
}

bool StartsWithWhiteSpace(std::string_view text) {
  return !text.empty() && (text[0] == ' ' || text[0] == '\t' || text[0] == '\n' || text[0] == '\r');
}

// Appends token, and one space when blanks follow it in the remaining text.
void AppendToken(std::string& out, const std::string& token, std::string_view rest) {
  out += token;
  if (StartsWithWhiteSpace(rest)) out += ' ';
}

bool IsSelectModifier(ServerKind dialect, std::string_view upper) {
  if (OneOf(upper, {"DISTINCT", "ALL", "DISTINCTROW"})) return true;
  // STRAIGHT_JOIN is also accepted under its long-standing misspelling.
  return dialect == skMySql &&
         OneOf(upper, {"STRAIGHT_JOIN", "STRAIGNT_JOIN", "SQL_SMALL_RESULT", "SQL_BIG_RESULT",
                       "SQL_BUFFER_RESULT", "HIGH_PRIORITY"});
}

// As NextSqlWord, also giving the length the remaining text had where the token began.
void TakeWordAt(std::string& text, ServerKind dialect, std::string& token,
                std::size_t& lengthAtStart) {
  do {
    SkipBlanksAndComments(text, dialect);
    lengthAtStart = text.size();
    NextSqlToken(text, kStop, dialect, token);
  } while (token == "\t" || token == "\n" || token == "\r");
}

// Words that follow a table name without being its alias.
bool IsJoinWord(std::string_view token) {
  const std::string upper = UpperCase(token);
  return OneOf(upper, {"LEFT", "NATURAL", "RIGHT", "ON", "USING", "JOIN", "INNER", "CROSS", "FULL",
                       "STRAIGHT_JOIN", "USE", "FORCE", "IGNORE"});
}

bool CanBeAlias(std::string_view token) {
  if (token.empty() || IsJoinWord(token)) return false;
  const char c = token[0];
  return IsSqlQuote(c) || c == '[' || c == '`' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// A piece of an unquoted name: "$" or a word or number (not a delimiter, quote or `name`).
bool IsNamePiece(std::string_view token) {
  if (token.empty()) return false;
  const char c = token.front();
  return c == '$' || (!IsSqlTokenDelimiter(c) && !IsSqlQuote(c));
}

// The next token of a table list, with "$" as part of a name: t$1 and $t are single names,
// as the server reads them; the token reader cuts at "$".
void TakeTableToken(std::string& text, std::string& token) {
  NextSqlWord(text, kStop, skGeneric, token);
  if (!IsNamePiece(token)) return;
  std::string piece;
  while (!text.empty() && (text.front() == '$' || (token.back() == '$' && IsNamePiece(text)))) {
    TakeToken(text, piece);
    token += piece;
  }
}

// Index before which to insert at the 1-based position, kept inside the text.
std::size_t InsertIndex(std::int64_t position, std::size_t textLength) {
  std::int64_t p = position < 0 ? -position : position;
  p = std::clamp<std::int64_t>(p, 1, static_cast<std::int64_t>(textLength) + 1);
  return static_cast<std::size_t>(p - 1);
}

// Moves a position away from zero by n when the insertion at index at lies before it.
void ShiftPast(std::int64_t& position, std::size_t at, std::size_t n) {
  if (position == 0) return;
  const std::int64_t magnitude = position < 0 ? -position : position;
  if (magnitude - 1 < static_cast<std::int64_t>(at)) return;
  position += position < 0 ? -static_cast<std::int64_t>(n) : static_cast<std::int64_t>(n);
}

}  // namespace

bool SplitSelect(std::string_view statement, ServerKind dialect, std::string& fields,
                 std::string& tables) {
  fields.clear();
  tables.clear();
  std::string text(statement);
  std::string token;
  NextSqlWord(text, kStop, dialect, token);
  if (!SameName(token, "SELECT")) return false;

  while (!text.empty()) {
    NextSqlWord(text, kStop, dialect, token);
    if (token.empty()) break;  // at the ";" ending the statement
    if (SameName(token, "FROM")) break;
    if (SameName(token, "INTO")) {
      do {
        NextSqlWord(text, kStop, dialect, token);
      } while (!token.empty() && !SameName(token, "FROM"));
      break;
    }
    if (IsClauseKeyword(dialect, token)) return true;
    AppendToken(fields, token, text);
  }

  while (!text.empty() && text[0] != ';') {
    NextSqlWord(text, kStop, dialect, token);
    if (token.empty() || IsClauseKeyword(dialect, token)) break;
    AppendToken(tables, token, text);
  }
  return true;
}

bool LocateSelectClauses(std::string_view statement, ServerKind dialect, int& listPos,
                         int& orderPos, int& wherePos, int& conditionStart) {
  listPos = orderPos = wherePos = conditionStart = 0;
  const int end = static_cast<int>(statement.size()) + 1;
  std::string text(statement);
  auto position = [&] { return end - static_cast<int>(text.size()); };
  std::string token;
  NextSqlWord(text, kStop, dialect, token);
  if (UpperCase(token) != "SELECT") return false;

  std::string beforeToken;
  for (;;) {
    beforeToken = text;
    NextSqlWord(text, kStop, dialect, token);
    if (token.empty() || !IsSelectModifier(dialect, UpperCase(token))) break;
  }
  text = beforeToken;  // the first item, with the blanks before it
  listPos = position();

  enum class State { None, AfterFrom, InWhere, InOrder } state = State::None;
  std::size_t lengthAtStart = 0;
  while (!text.empty() && text[0] != ';' && (wherePos == 0 || orderPos == 0)) {
    const int p = position();
    TakeWordAt(text, dialect, token, lengthAtStart);
    if (token.empty()) break;
    if (state == State::InWhere && conditionStart == 0) {
      conditionStart = end - static_cast<int>(lengthAtStart);
    }
    if (!IsClauseKeyword(dialect, token)) continue;
    const std::string word = UpperCase(token);
    if (word == "FROM" && wherePos == 0) {
      state = State::AfterFrom;
    } else if (word == "WHERE" && wherePos == 0) {
      state = State::InWhere;
    } else {
      if (state == State::AfterFrom && wherePos == 0) {
        wherePos = -p;
        state = State::None;
      } else if (state == State::InWhere && wherePos == 0) {
        wherePos = p;
        state = State::None;
      }
      if (word == "ORDER" && orderPos == 0) {
        state = State::InOrder;
      } else {
        if (state == State::InOrder && orderPos == 0) {
          orderPos = p;
          state = State::None;
        }
        // Clauses that must follow ORDER BY: a missing ordering goes before them.
        if (OneOf(word, {"COMPUTE", "FOR", "LIMIT", "PROCEDURE", "OPTION"})) {
          if (wherePos == 0) wherePos = -p;
          if (orderPos == 0) orderPos = -p;
        }
      }
    }
  }
  if (state == State::InWhere && wherePos == 0) wherePos = end;
  if (state == State::InOrder && orderPos == 0) orderPos = end;
  return true;
}

void AddWhereAndOrder(std::string_view statement, std::string_view filter, std::string_view order,
                      std::string& result, int orderPos, int wherePos, int conditionStart) {
  result.assign(statement);
  const std::int64_t atEnd = -static_cast<std::int64_t>(statement.size() + 1);
  std::int64_t where = wherePos == 0 ? atEnd : wherePos;
  std::int64_t ordering = orderPos == 0 ? atEnd : orderPos;
  if (filter.empty()) where = 0;
  if (order.empty()) ordering = 0;

  if (!filter.empty()) {
    std::string piece;
    if (where > 0 && conditionStart > 0 && conditionStart < where) {
      // The existing condition is bracketed so that an OR in it cannot take the filter in.
      const std::size_t at = InsertIndex(conditionStart, result.size());
      result.insert(at, 1, '(');
      ++where;
      ShiftPast(ordering, at, 1);
      piece = ") AND ";
    } else if (where > 0) {
      piece = " ";  // a WHERE without a condition: the filter becomes the condition
    } else {
      piece = " WHERE ";
    }
    piece += filter;
    const std::size_t at = InsertIndex(where, result.size());
    result.insert(at, piece);
    ShiftPast(ordering, at, piece.size());
  }
  if (!order.empty()) {
    std::string piece = ordering < 0 ? " ORDER BY " : ", ";
    piece += order;
    result.insert(InsertIndex(ordering, result.size()), piece);
  }
}

void ExtractTables(std::string_view tableText, StringList& names, StringList& aliases) {
  names.Clear();
  aliases.Clear();
  std::string text(tableText);
  std::string token;
  auto next = [&text](std::string& out) { TakeTableToken(text, out); };
  bool expectTable = true;
  while (!text.empty()) {
    next(token);
    if (token.empty()) break;
    if (expectTable) {
      expectTable = false;
      std::string name = token;
      next(token);
      if (token == ".") {
        std::string part;
        next(part);
        name += "." + part;
        next(token);
      }
      std::string alias;
      if (SameName(token, "AS") || token == "=") {
        next(alias);
      } else if (CanBeAlias(token)) {
        alias = token;
      }
      if (alias.empty()) alias = name;
      name = CleanTableName(name);
      alias = CleanTableName(alias);
      bool known = false;
      for (std::size_t i = 0; i < names.Count() && !known; ++i) {
        known = SameName(names[i], name) && SameName(aliases[i], alias);
      }
      if (!known) {
        names.Add(name);
        aliases.Add(alias);
      }
    }
    if (SameName(token, "JOIN") || token == ",") expectTable = true;
  }
}

std::string CleanTableName(std::string_view name) {
  std::string clean = StripQuotes(name);
  if (!clean.empty() && clean.front() == '[') clean.erase(0, 1);
  if (!clean.empty() && clean.back() == ']') clean.pop_back();
  return clean;
}

}  // namespace tabulix
