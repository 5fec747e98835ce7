#include "sql/ZMySqlScanner.h"

namespace tabulix {

std::string TZMySqlScanner::QuoteText(std::string_view text) const {
  return QuoteWithBackslashes(text, false, true);
}

std::string TZMySqlScanner::UnquoteText(std::string_view text) const {
  return UnquoteWithBackslashes(text, false, true);
}

TZTokenType TZMySqlScanner::ReadComment(std::string& token) {
  if (token[0] == '#' || (token[0] == '-' && Peek() == '-')) return ReadLineComment(token);
  return tkUnknown;
}

TZTokenType TZMySqlScanner::ReadString(std::string& token) {
  return ReadQuotedString(token, true);
}

}  // namespace tabulix
