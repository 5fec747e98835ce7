#include "source/CodePageDecoder.h"

#include <gtest/gtest.h>

#include <string>

namespace tabulix::source {
namespace {

TEST(CodePageDecoderTest, AsciiPassesAndHighBytesConvertWherever) {
  CodePageDecoder latin1("ISO-8859-1");
  // One byte above 0x7F at every place of texts longer than the eight-byte steps.
  for (std::size_t length = 1; length < 20; ++length) {
    std::string ascii(length, 'k');
    EXPECT_EQ(latin1.ToUtf8(ascii), ascii);
    for (std::size_t at = 0; at < length; ++at) {
      std::string text = ascii;
      text[at] = '\xE4';
      std::string expected = ascii;
      expected.replace(at, 1, "\xC3\xA4");
      EXPECT_EQ(latin1.ToUtf8(text), expected) << length << " " << at;
    }
  }
}

TEST(CodePageDecoderTest, UndefinedBytesBecomeReplacementCharacters) {
  CodePageDecoder ascii("ASCII");
  EXPECT_EQ(ascii.ToUtf8("a\x80z"), "a\xEF\xBF\xBDz");
}

}  // namespace
}  // namespace tabulix::source
