#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "source/CodePageDecoder.h"

namespace tabulix::source::dbase {

// Decodes a table's text to UTF-8: through iconv, or through a built-in table for the DOS code
// pages that iconv lacks.
class TextDecoder {
 public:
  // Raises tabulix::Exception when the encoding is unknown.
  explicit TextDecoder(const std::string& encoding);

  const std::string& Encoding() const { return encoding_; }
  std::string ToUtf8(std::string_view bytes);
  // The same, telling what the text held (see CodePageDecoder).
  std::string ToUtf8(std::string_view bytes, TextReport& report);
  void SetUtf8Check(bool on);

 private:
  std::string encoding_;
  std::optional<CodePageDecoder> iconv_;
  std::array<std::string, 128> upperHalf_;  // UTF-8 of bytes 0x80..0xFF for built-in tables
  bool utf8Check_ = false;
};

}  // namespace tabulix::source::dbase
