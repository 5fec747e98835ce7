#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// DOS code pages of dBase language drivers that glibc's iconv does not provide. Both are
// code page 437 with some letters in place of accented Latin and graphic characters.
namespace tabulix::source::dbase {

struct CodePointOverride {
  std::uint8_t byte;
  char32_t codePoint;
};

// The bytes that differ from code page 437 for "CP620" (Mazovia, Polish) or "CP895"
// (Kamenicky, Czech and Slovak), also under the names MAZOVIA and KAMENICKY; empty for any
// other name.
std::span<const CodePointOverride> BuiltinCodePageOverrides(std::string_view encoding);

}  // namespace tabulix::source::dbase
