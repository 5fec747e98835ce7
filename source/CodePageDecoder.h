#pragma once

#include <iconv.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace tabulix::source {

// What decoding one text met besides ASCII.
struct TextReport {
  bool nonAscii = false;
  bool undefinedBytes = false;  // bytes the code page does not define became U+FFFD
  // With the UTF-8 check on: the non-ASCII text forms valid UTF-8, or it does not.
  bool looksLikeUtf8 = false;
  bool notUtf8 = false;
};

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
  // The same, telling what the text held; ASCII text costs nothing more.
  std::string ToUtf8(std::string_view bytes, TextReport& report);
  // Whether non-ASCII text is also checked for being UTF-8 (off for UTF-8 itself, where
  // invalid bytes count as undefined).
  void SetUtf8Check(bool on) { utf8Check_ = on && !identity_; }

  // Fills in the UTF-8 findings of a non-ASCII text when the check is on.
  static void CheckUtf8(std::string_view bytes, TextReport& report);

 private:
  // The iconv road for text that is not plain ASCII; counts the bytes it had to replace.
  std::string Convert(std::string_view bytes, std::size_t& replaced);

  std::string encoding_;
  iconv_t cd_ = reinterpret_cast<iconv_t>(-1);
  bool identity_ = false;  // UTF-8 input needs only validation
  bool utf8Check_ = false;
};

}  // namespace tabulix::source
