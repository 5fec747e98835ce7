#pragma once

#include <string>
#include <string_view>

namespace tabulix::mysql_internal {

// A name as a MySQL identifier in backticks; a backtick inside the name is doubled.
inline std::string QuoteIdentifier(std::string_view name) {
  std::string out;
  out.reserve(name.size() + 2);
  out += '`';
  for (char c : name) {
    if (c == '`') out += '`';
    out += c;
  }
  out += '`';
  return out;
}

}  // namespace tabulix::mysql_internal
