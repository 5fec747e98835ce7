#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "sql/ZScanner.h"

namespace tabulix::test {

using Tokens = std::vector<std::pair<TZTokenType, std::string>>;

// Every token ReadToken gives for the text, up to the end token (at most 1000).
inline Tokens ReadAll(TZScanner& scanner, std::string_view text) {
  scanner.SetText(text);
  Tokens out;
  int position = 0, line = 0;
  std::string token;
  for (int guard = 0; guard < 1000; ++guard) {
    TZTokenType type = scanner.ReadToken(position, line, token);
    if (type == tkEnd) break;
    out.emplace_back(type, token);
  }
  return out;
}

}  // namespace tabulix::test
