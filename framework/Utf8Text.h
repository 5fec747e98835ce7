#pragma once

#include <cstddef>
#include <string_view>

namespace tabulix {

// True for the bytes that continue a UTF-8 sequence (10xxxxxx).
inline bool IsUtf8Continuation(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The longest front of text that holds at most maxChars characters and maxBytes bytes and
// ends at a character boundary, so that a cut never leaves half a sequence behind. Characters
// are counted by their lead bytes; stray continuation bytes belong to the character before.
inline std::string_view Utf8Prefix(std::string_view text, std::size_t maxChars,
                                   std::size_t maxBytes) {
  std::size_t end = text.size() < maxBytes ? text.size() : maxBytes;
  // Back off to a boundary when the byte limit falls inside a sequence.
  if (end < text.size()) {
    while (end > 0 && IsUtf8Continuation(text[end])) --end;
  }
  std::size_t chars = 0;
  for (std::size_t i = 0; i < end; ++i) {
    if (IsUtf8Continuation(text[i])) continue;
    if (chars == maxChars) return text.substr(0, i);
    ++chars;
  }
  return text.substr(0, end);
}

}  // namespace tabulix
