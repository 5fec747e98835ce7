#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tabulix::dataset_internal {

struct ExprToken {
  enum class Kind { End, Number, Text, Name, QuotedName, Symbol };
  Kind kind = Kind::End;
  std::string text;  // a text or quoted name without its quotes; otherwise as written
  int position = 0;  // 1-based; one past the end for End
  int length = 0;    // bytes of source the token covers
};

// Cuts an expression into tokens, ending with one End token. Raises EParserError for a
// character that starts no token, an unterminated text or name, and a malformed number.
std::vector<ExprToken> TokenizeExpression(const std::string& expression);

}  // namespace tabulix::dataset_internal
