#include "source/dbase/TextDecoder.h"

#include "source/dbase/BuiltinCodePages.h"

namespace tabulix::source::dbase {
namespace {

std::string Utf8(char32_t c) {
  std::string out;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

}  // namespace

TextDecoder::TextDecoder(const std::string& encoding) : encoding_(encoding) {
  auto overrides = BuiltinCodePageOverrides(encoding);
  if (overrides.empty()) {
    iconv_.emplace(encoding);
    return;
  }
  CodePageDecoder base("CP437");
  for (int b = 0x80; b <= 0xFF; ++b) {
    char byte = static_cast<char>(b);
    upperHalf_[b - 0x80] = base.ToUtf8(std::string_view(&byte, 1));
  }
  for (const auto& o : overrides) upperHalf_[o.byte - 0x80] = Utf8(o.codePoint);
}

void TextDecoder::SetUtf8Check(bool on) {
  utf8Check_ = on;
  if (iconv_) iconv_->SetUtf8Check(on);
}

std::string TextDecoder::ToUtf8(std::string_view bytes, TextReport& report) {
  if (iconv_) return iconv_->ToUtf8(bytes, report);
  report = {};
  std::string out = ToUtf8(bytes);
  // The built-in tables define every byte; only the UTF-8 look is left to tell.
  report.nonAscii = out.size() != bytes.size();
  if (report.nonAscii && utf8Check_) CodePageDecoder::CheckUtf8(bytes, report);
  return out;
}

std::string TextDecoder::ToUtf8(std::string_view bytes) {
  if (iconv_) return iconv_->ToUtf8(bytes);
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes) {
    auto b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      out += c;
    } else {
      out += upperHalf_[b - 0x80];
    }
  }
  return out;
}

}  // namespace tabulix::source::dbase
