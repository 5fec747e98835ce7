#include "source/CodePageDecoder.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <utility>

#include "framework/AsciiCase.h"
#include "framework/Exceptions.h"
#include "source/Utf8Text.h"

namespace tabulix::source {
namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

bool IsAscii(std::string_view s) {
  // Eight bytes at a time: no byte may have its top bit set.
  std::size_t i = 0;
  std::uint64_t high = 0;
  for (; i + 8 <= s.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, s.data() + i, 8);
    high |= word;
  }
  if (high & 0x8080808080808080ull) return false;
  for (; i < s.size(); ++i) {
    if (static_cast<unsigned char>(s[i]) >= 0x80) return false;
  }
  return true;
}

}  // namespace

CodePageDecoder::CodePageDecoder(const std::string& encoding) : encoding_(encoding) {
  std::string upper = UpperCase(encoding);
  identity_ = upper == "UTF-8" || upper == "UTF8";
  cd_ = iconv_open("UTF-8", encoding.c_str());
  if (cd_ == kNoConverter) throw Exception("Unknown code page '" + encoding + "'");
}

CodePageDecoder::~CodePageDecoder() {
  if (cd_ != kNoConverter) iconv_close(cd_);
}

CodePageDecoder::CodePageDecoder(CodePageDecoder&& other) noexcept
    : encoding_(std::move(other.encoding_)),
      cd_(std::exchange(other.cd_, kNoConverter)),
      identity_(other.identity_),
      utf8Check_(other.utf8Check_) {}

CodePageDecoder& CodePageDecoder::operator=(CodePageDecoder&& other) noexcept {
  if (this != &other) {
    if (cd_ != kNoConverter) iconv_close(cd_);
    encoding_ = std::move(other.encoding_);
    cd_ = std::exchange(other.cd_, kNoConverter);
    identity_ = other.identity_;
    utf8Check_ = other.utf8Check_;
  }
  return *this;
}

std::string CodePageDecoder::ToUtf8(std::string_view bytes) {
  if (IsAscii(bytes)) return std::string(bytes);
  std::size_t replaced = 0;
  return Convert(bytes, replaced);
}

std::string CodePageDecoder::ToUtf8(std::string_view bytes, TextReport& report) {
  report = {};
  if (IsAscii(bytes)) return std::string(bytes);
  report.nonAscii = true;
  std::size_t replaced = 0;
  std::string text = Convert(bytes, replaced);
  report.undefinedBytes = replaced != 0;
  if (utf8Check_) CheckUtf8(bytes, report);
  return text;
}

void CodePageDecoder::CheckUtf8(std::string_view bytes, TextReport& report) {
  Utf8Shape shape = ClassifyUtf8(bytes);
  report.looksLikeUtf8 = shape == Utf8Shape::Utf8;
  report.notUtf8 = shape == Utf8Shape::NotUtf8;
}

std::string CodePageDecoder::Convert(std::string_view bytes, std::size_t& replaced) {
  iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // reset shift state
  std::string out;
  out.reserve(bytes.size() * 2);
  char buffer[1024];
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  while (inLeft > 0) {
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    std::size_t rc = iconv(cd_, &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
    if (rc == static_cast<std::size_t>(-1)) {
      if (errno == E2BIG) continue;
      // EILSEQ or EINVAL: one undecodable byte becomes the replacement character.
      out += kReplacement;
      ++replaced;
      ++in;
      --inLeft;
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
  }
  return out;
}

}  // namespace tabulix::source
