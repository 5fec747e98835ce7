#include "source/Utf8Text.h"

#include <cstdint>
#include <cstring>

namespace tabulix::source {

bool IsAsciiText(std::string_view bytes) {
  std::uint64_t high = 0;
  std::size_t i = 0;
  for (; i + 8 <= bytes.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, bytes.data() + i, 8);
    high |= word;
  }
  for (; i < bytes.size(); ++i) high |= static_cast<unsigned char>(bytes[i]);
  return (high & 0x8080808080808080ull) == 0;
}

Utf8Shape ClassifyUtf8(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t n = bytes.size();
  std::size_t i = 0;
  // Eight ASCII bytes at a time up to the first high byte.
  while (i + 8 <= n) {
    std::uint64_t word;
    std::memcpy(&word, p + i, 8);
    if (word & 0x8080808080808080ull) break;
    i += 8;
  }
  bool high = false;
  while (i < n) {
    unsigned char b = p[i];
    if (b < 0x80) {
      ++i;
      continue;
    }
    high = true;
    std::size_t length = b >= 0xC2 && b <= 0xDF   ? 2
                         : b >= 0xE0 && b <= 0xEF ? 3
                         : b >= 0xF0 && b <= 0xF4 ? 4
                                                  : 0;
    if (length == 0 || i + length > n) return Utf8Shape::NotUtf8;
    // The second byte's range excludes overlong forms, surrogates and code points past
    // U+10FFFF; the others are plain continuation bytes.
    unsigned char second = p[i + 1];
    unsigned char low = 0x80, top = 0xBF;
    if (b == 0xE0) low = 0xA0;
    if (b == 0xED) top = 0x9F;
    if (b == 0xF0) low = 0x90;
    if (b == 0xF4) top = 0x8F;
    if (second < low || second > top) return Utf8Shape::NotUtf8;
    for (std::size_t k = 2; k < length; ++k) {
      if ((p[i + k] & 0xC0) != 0x80) return Utf8Shape::NotUtf8;
    }
    i += length;
  }
  return high ? Utf8Shape::Utf8 : Utf8Shape::Ascii;
}

}  // namespace tabulix::source
