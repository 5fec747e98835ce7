#include "sql/ZPgSqlScanner.h"

namespace tabulix {

std::string TZPgSqlScanner::QuoteText(std::string_view text) const {
  return QuoteWithBackslashes(text, true, false);
}

std::string TZPgSqlScanner::UnquoteText(std::string_view text) const {
  return UnquoteWithBackslashes(text, true, false);
}

TZTokenType TZPgSqlScanner::ReadComment(std::string& token) {
  if (token[0] == '-' && Peek() == '-') return ReadLineComment(token);
  if (token[0] == '/' && Peek() == '*') return ReadBlockComment(token);
  return tkUnknown;
}

TZTokenType TZPgSqlScanner::ReadString(std::string& token) {
  return ReadQuotedString(token, true);
}

}  // namespace tabulix
