#pragma once

#include <string>
#include <string_view>

namespace tabulix::mysql_internal {

// Settings, names and messages of the direct layer are short texts of at most 255 bytes.
inline constexpr std::size_t kShortTextLength = 255;

inline std::string ShortText(std::string_view text) {
  return std::string(text.substr(0, kShortTextLength));
}

// The text without the control characters and blanks at both ends.
inline std::string TrimText(std::string_view text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
  return std::string(text.substr(first, last - first));
}

}  // namespace tabulix::mysql_internal
