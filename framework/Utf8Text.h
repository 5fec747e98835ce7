#pragma once

#include <cstddef>
#include <string>
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

// Appends code point cp (at most U+10FFFF) as UTF-8.
inline void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace tabulix
