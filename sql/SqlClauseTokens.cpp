#include "sql/SqlClauseTokens.h"

#include <array>

#include "framework/AsciiCase.h"
#include "sql/SqlTokenText.h"

namespace tabulix {
namespace {

struct CommentSyntax {
  std::string_view line;   // empty: none
  std::string_view block;  // opener of a comment closed by "*/"; empty: none
};

CommentSyntax CommentsOf(ServerKind dialect) {
  switch (dialect) {
    case skMySql:
      return {"#", ""};
    case skPostgreSql:
      return {"--", "/*"};
    case skInterBase:
      return {"//", "/*"};
    default:
      return {"", ""};
  }
}

bool IsLineBreakToken(std::string_view token) {
  return token == "\t" || token == "\n" || token == "\r";
}

}  // namespace

bool SkipLeadingBlanks(std::string& text) {
  std::size_t n = 0;
  while (n < text.size() && (text[n] == ' ' || text[n] == '\t')) ++n;
  text.erase(0, n);
  return n > 0;
}

void SkipLine(std::string& text) {
  std::size_t end = text.find('\n');
  if (end == std::string::npos) end = text.find('\r');
  if (end == std::string::npos) {
    text.clear();
  } else {
    text.erase(0, end + 1);
  }
}

void SkipPast(std::string& text, std::string_view marker) {
  std::size_t at = text.find(marker);
  if (at == std::string::npos) {
    text.clear();
  } else {
    text.erase(0, at + marker.size());
  }
}

bool SkipBlanksAndComments(std::string& text, ServerKind dialect) {
  const CommentSyntax comments = CommentsOf(dialect);
  bool removedAny = false;
  bool removedComment;
  do {
    removedComment = false;
    if (SkipLeadingBlanks(text)) removedAny = true;
    if (!comments.line.empty() && SamePrefix(text, comments.line)) {
      SkipLine(text);
      removedComment = true;
    } else if (!comments.block.empty() && SamePrefix(text, comments.block)) {
      SkipPast(text, "*/");
      removedComment = true;
    }
    removedAny = removedAny || removedComment;
  } while (removedComment);
  return removedAny;
}

void NextSqlToken(std::string& text, std::string_view stop, ServerKind dialect,
                  std::string& token) {
  token.clear();
  SkipBlanksAndComments(text, dialect);
  if (text.empty() || SamePrefix(text, stop)) return;
  int parentheses = 0;
  int brackets = 0;
  std::string piece;
  do {
    if (text[0] == ' ' || text[0] == '\t') token += ' ';
    TakeToken(text, piece);  // a `quoted name` comes whole
    token += piece;
    if (piece == "(") {
      ++parentheses;
    } else if (piece == ")") {
      --parentheses;
    } else if (piece == "[") {
      ++brackets;
    } else if (piece == "]") {
      --brackets;
    }
  } while ((parentheses > 0 || brackets > 0) && !text.empty());
}

void NextSqlWord(std::string& text, std::string_view stop, ServerKind dialect, std::string& token) {
  do {
    NextSqlToken(text, stop, dialect, token);
  } while (IsLineBreakToken(token));
}

bool IsClauseKeyword(ServerKind dialect, std::string_view token) {
  static constexpr std::array<std::string_view, 7> kCommon = {"WHERE",  "INTO", "GROUP", "ORDER",
                                                              "HAVING", "FROM", "FOR"};
  const std::string word = UpperCase(token);
  for (std::string_view k : kCommon) {
    if (word == k) return true;
  }
  auto any = [&word](std::initializer_list<std::string_view> list) {
    for (std::string_view k : list) {
      if (word == k) return true;
    }
    return false;
  };
  switch (dialect) {
    case skMySql:
      return any({"PROCEDURE", "LIMIT"});
    case skPostgreSql:
      return any({"LIMIT", "UNION", "INTERSECT", "EXCEPT"});
    case skInterBase:
      return any({"UNION"});
    case skMsSql:
      return any({"COMPUTE", "OPTION", "UNION"});
    case skOracle:
      return any({"START", "UNION", "INTERSECT", "EXCEPT"});
    default:
      return false;
  }
}

}  // namespace tabulix
