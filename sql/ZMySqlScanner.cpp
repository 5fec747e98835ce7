#include "sql/ZMySqlScanner.h"

namespace tabulix {

std::string TZMySqlScanner::QuoteText(std::string_view text) const {
  return QuoteWithBackslashes(text, false, true);
}

std::string TZMySqlScanner::UnquoteText(std::string_view text) const {
  return UnquoteWithBackslashes(text, false, true);
}

TZTokenType TZMySqlScanner::ReadComment(std::string& token) {
  if (token[0] == '#') return ReadLineComment(token);
  if (token[0] == '-' && Peek() == '-') {
    // Peek gives '\0' at the end of the text, where "--" is a comment too.
    const auto after = static_cast<unsigned char>(Peek(1));
    if (after <= ' ' || after == 0x7F) return ReadLineComment(token);
  }
  return tkUnknown;
}

TZTokenType TZMySqlScanner::ReadString(std::string& token) {
  return ReadQuotedString(token, true);
}

TZTokenType TZMySqlScanner::ReadWord(std::string& token) {
  if (token[0] != '`') return TZSqlScanner::ReadWord(token);
  // Inside a quoted name neither quotes, backslashes, comment openers nor ";" mean anything.
  while (!AtEnd()) {
    const char c = Peek();
    Take(token);
    if (c != '`') continue;
    if (Peek() != '`') break;
    Take(token);
  }
  return tkWord;
}

}  // namespace tabulix
