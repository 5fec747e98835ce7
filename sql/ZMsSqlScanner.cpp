#include "sql/ZMsSqlScanner.h"

namespace tabulix {

TZTokenType TZMsSqlScanner::ReadComment(std::string& token) {
  if (token[0] == '-' && Peek() == '-') return ReadLineComment(token);
  if (token[0] == '/' && Peek() == '*') return ReadBlockComment(token);
  return tkUnknown;
}

}  // namespace tabulix
