#include "sql/ZSqlScanner.h"

#include <array>
#include <utility>
#include <vector>

#include "framework/AsciiCase.h"

namespace tabulix {
namespace {

constexpr std::string_view kOperators = "~!#%?|=+-<>/*^@#";

constexpr std::array<std::string_view, 24> kKeywords = {
    "select", "update",   "delete", "create", "drop", "explain", "from",  "where",
    "order",  "by",       "group",  "having", "set",  "values",  "into",  "union",
    "all",    "distinct", "left",   "right",  "on",   "join",    "outer", "inner"};

bool IsQuoteChar(char c) {
  return c == '\'' || c == '"';
}

using Range = std::pair<std::size_t, std::size_t>;

// Every line break outside the given (sorted) ranges of strings and quoted names becomes
// carriage return plus line feed; the ranges keep their bytes.
std::string NormaliseLineBreaks(const std::string& text, const std::vector<Range>& verbatim) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  std::size_t next = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (next < verbatim.size() && i == verbatim[next].first) {
      out.append(text, i, verbatim[next].second - i);
      i = verbatim[next].second - 1;
      ++next;
      continue;
    }
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      out += "\r\n";
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

bool TZSqlScanner::IsWordChar(char c) {
  return c == '$' || c == '.' || c == '_' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
         (c >= 'a' && c <= 'z');
}

bool TZSqlScanner::IsKeyword(std::string_view word) {
  const std::string lower = LowerCase(word);
  for (std::string_view k : kKeywords) {
    if (lower == k) return true;
  }
  return false;
}

TZTokenType TZSqlScanner::ReadToken(int& position, int& line, std::string& token) {
  if (auto decided = ReadFirstChar(position, line, token)) return *decided;
  TZTokenType type = ReadComment(token);
  if (type == tkUnknown) type = ReadOperator(token);
  if (type == tkUnknown) type = ReadString(token);
  if (type == tkUnknown) type = ReadWord(token);
  return SetLastType(type);
}

TZTokenType TZSqlScanner::ReadComment(std::string& token) {
  if (token[0] == '/' && Peek() == '/') return ReadLineComment(token);
  if (token[0] == '/' && Peek() == '*') return ReadBlockComment(token);
  return tkUnknown;
}

TZTokenType TZSqlScanner::ReadString(std::string& token) {
  return ReadQuotedString(token, false);
}

TZTokenType TZSqlScanner::ReadWord(std::string& token) {
  const char first = token[0];
  if (!IsWordChar(first)) return tkUnknown;
  TZTokenType type = first == '.' ? tkFloat : IsDigit(first) ? tkInteger : tkWord;
  while (!AtEnd() && IsWordChar(Peek())) {
    if (Peek() == '.' && type == tkInteger) type = tkFloat;
    Take(token);
  }
  if (type == tkWord && FindKeywords() && IsKeyword(token)) type = tkKeyword;
  return type;
}

TZTokenType TZSqlScanner::ReadOperator(std::string& token) {
  const char c = token[0];
  switch (c) {
    case '(':
    case ')':
    case '[':
    case ']':
    case '{':
    case '}':
      return tkBracket;
    case ',':
    case ':':
    case ';':
      return tkSeparator;
    default:
      break;
  }
  if (kOperators.find(c) == std::string_view::npos) return tkUnknown;
  if ((c == '>' && Peek() == '=') || (c == '<' && (Peek() == '=' || Peek() == '>'))) {
    Take(token);
  }
  return tkOperator;
}

TZTokenType TZSqlScanner::ReadLineComment(std::string& token) {
  // A line feed ends the comment too: scripts written with bare line feeds must not lose
  // every statement after their first comment.
  while (!AtEnd()) {
    const char c = Peek();
    Take(token);
    if (c == '\r') {
      NewLine();
      break;
    }
    if (c == '\n') break;
  }
  return tkComment;
}

TZTokenType TZSqlScanner::ReadBlockComment(std::string& token) {
  char previous = token.back();
  while (!AtEnd()) {
    const char c = Peek();
    Take(token);
    if (c == '\r') NewLine();
    if (c == '/' && previous == '*') break;
    previous = c;
  }
  return tkComment;
}

TZTokenType TZSqlScanner::ReadQuotedString(std::string& token, bool backslashEscapes) {
  const char quote = token[0];
  if (!IsQuote(quote)) return tkUnknown;
  while (!AtEnd()) {
    const char c = Peek();
    Take(token);
    if (backslashEscapes && c == '\\') {
      // The escaped character, a quote or a second backslash, never ends the string.
      if (!AtEnd()) Take(token);
      continue;
    }
    if (c == quote) {
      if (!backslashEscapes && Peek() == quote) {
        Take(token);
        continue;
      }
      break;
    }
  }
  return tkString;
}

std::string TZSqlScanner::QuoteText(std::string_view text) const {
  std::string out = "'";
  for (char c : text) {
    out += c;
    if (c == '\'') out += '\'';
  }
  out += '\'';
  return out;
}

std::string TZSqlScanner::UnquoteText(std::string_view text) const {
  if (text.empty() || !IsQuote(text.front())) return std::string(text);
  const char quote = text.front();
  text.remove_prefix(1);
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != quote) {
      out += text[i];
    } else if (i + 1 < text.size() && text[i + 1] == quote) {
      out += quote;
      ++i;
    }
  }
  return out;
}

std::string TZSqlScanner::QuoteWithBackslashes(std::string_view text, bool tabs, bool ctrlZ) {
  std::string out = "'";
  out.reserve(text.size() + 2);
  for (char c : text) {
    char escape = 0;
    switch (c) {
      case '\0':
        escape = '0';
        break;
      case '\t':
        escape = tabs ? 't' : 0;
        break;
      case '\n':
        escape = 'n';
        break;
      case '\r':
        escape = 'r';
        break;
      case '\x1a':
        escape = ctrlZ ? 'Z' : 0;
        break;
      case '"':
      case '\'':
      case '\\':
        escape = c;
        break;
      default:
        break;
    }
    if (escape != 0) {
      out += '\\';
      out += escape;
    } else {
      out += c;
    }
  }
  out += '\'';
  return out;
}

std::string TZSqlScanner::UnquoteWithBackslashes(std::string_view text, bool tabs, bool ctrlZ) {
  if (!text.empty() && IsQuoteChar(text.front())) {
    const char quote = text.front();
    text.remove_prefix(1);
    if (!text.empty() && text.back() == quote) text.remove_suffix(1);
  }
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    if (i + 1 == text.size()) break;  // a lone backslash at the end ends the text
    const char c = text[++i];
    if (c == '0') {
      out += '\0';
    } else if (c == 'n') {
      out += '\n';
    } else if (c == 'r') {
      out += '\r';
    } else if (c == 't' && tabs) {
      out += '\t';
    } else if (c == 'Z' && ctrlZ) {
      out += '\x1a';
    } else {
      out += c;
    }
  }
  return out;
}

void TZSqlScanner::SkipBlanks(std::string& blanks) {
  blanks.clear();
  while (!AtEnd() && (Peek() == '\t' || Peek() == '\n' || Peek() == ' ')) Take(blanks);
}

void TZSqlScanner::ExtractStatement(int& position, int& length, std::string& statement, int& line) {
  std::string blanks;
  std::string token;
  std::vector<Range> verbatim;
  int tokenPosition = 0;
  int tokenLine = 0;
  bool passedOver = false;
  statement.clear();
  for (;;) {
    SkipBlanks(blanks);
    position = Position();
    line = Line();
    TZTokenType type;
    do {
      type = NextToken(tokenPosition, tokenLine, token);
    } while (type == tkCr || type == tkLf);
    // The statement starts at its first token, not at the line break before it, so that
    // position and line point a reader of the script at the statement itself.
    if (type != tkEnd) {
      position = tokenPosition;
      line = tokenLine;
    }
    while (type != tkEnd && token != ";") {
      // A dropped comment separates the tokens around it: "a# c" + line feed + "b" is "a b".
      if (passedOver && !statement.empty() && !IsBlank(statement.back()) &&
          !IsLineEnd(statement.back())) {
        statement += ' ';
      }
      if (type == tkLf) {
        const bool afterBlank =
            !statement.empty() && (statement.back() == '\t' || statement.back() == ' ');
        statement += afterBlank ? '\n' : ' ';
      } else {
        // Strings and quoted names keep their bytes, line breaks included.
        if (type == tkString || (type == tkWord && token[0] == '`'))
          verbatim.emplace_back(statement.size(), statement.size() + token.size());
        statement += token;
      }
      SkipBlanks(blanks);
      if (!blanks.empty()) statement += ' ';
      type = NextTokenPassing(tokenPosition, tokenLine, token, passedOver);
    }
    // An empty statement before a ";" is passed over: only the end of the script gives an
    // empty text, which tells the caller to stop.
    if (!statement.empty() || type == tkEnd) break;
  }
  length = Position() - position;
  if (ShowComments() && ShowLineBreaks()) statement = NormaliseLineBreaks(statement, verbatim);
}

std::unique_ptr<TZSqlScanner> CreateSqlScanner(std::uint8_t dialect) {
  switch (dialect & 0x7F) {
    case 1:
      return std::make_unique<TZPgSqlScanner>();
    case 2:
      return std::make_unique<TZIbSqlScanner>();
    case 3:
      return std::make_unique<TZMsSqlScanner>();
    case 4:
      return std::make_unique<TZOraSqlScanner>();
    default:
      return std::make_unique<TZMySqlScanner>();
  }
}

}  // namespace tabulix
