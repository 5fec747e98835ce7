#pragma once

#include <iconv.h>

#include <string>
#include <string_view>

namespace tabulix::source {

// Converts text of one code page to UTF-8 with glibc iconv. Bytes that the code page does not
// define become U+FFFD, so a damaged value never stops a read; ASCII passes through unchanged.
class CodePageDecoder {
 public:
  // Raises tabulix::Exception when iconv does not know the code page.
  explicit CodePageDecoder(const std::string& encoding);
  ~CodePageDecoder();
  CodePageDecoder(const CodePageDecoder&) = delete;
  CodePageDecoder& operator=(const CodePageDecoder&) = delete;
  CodePageDecoder(CodePageDecoder&& other) noexcept;
  CodePageDecoder& operator=(CodePageDecoder&& other) noexcept;

  const std::string& Encoding() const { return encoding_; }
  std::string ToUtf8(std::string_view bytes);

 private:
  // The iconv road for text that is not plain ASCII.
  std::string Convert(std::string_view bytes);

  std::string encoding_;
  iconv_t cd_ = reinterpret_cast<iconv_t>(-1);
  bool identity_ = false;  // UTF-8 input needs only validation
};

}  // namespace tabulix::source
