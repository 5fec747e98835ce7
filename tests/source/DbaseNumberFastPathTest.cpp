// The quick roads of the dBase value parsers must give exactly what the general ones give.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "source/dbase/ValueDecoding.h"

namespace tabulix::source::dbase {
namespace {

// What from_chars alone makes of an already trimmed number text.
std::optional<double> Reference(const std::string& text) {
  double value = 0;
  auto [ptr, ec] =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
  if (ec != std::errc() || ptr != text.data() + text.size()) return std::nullopt;
  return value;
}

void ExpectSameAsReference(const std::string& text) {
  std::optional<double> expected = Reference(text);
  std::optional<double> actual = ParseNumber(text);
  ASSERT_EQ(actual.has_value(), expected.has_value()) << "'" << text << "'";
  if (!expected) return;
  // Bit for bit, so that -0 and the last place count.
  std::uint64_t a = 0;
  std::uint64_t e = 0;
  std::memcpy(&a, &*actual, 8);
  std::memcpy(&e, &*expected, 8);
  EXPECT_EQ(a, e) << "'" << text << "'";
}

TEST(DbaseNumberFastPath, TrickyDecimalsMatchFromChars) {
  for (const char* text : {"0",
                           "-0",
                           "-0.00",
                           "0.1",
                           "0.3",
                           "-12345.67",
                           "0.30000000000000004",
                           "9007199254740992",
                           "9007199254740993",
                           "9007199254740993.0",
                           "900719925474099.3",
                           "9007199254740991.1",
                           "18446744073709551615",
                           "1234567890123456789",
                           "12345678901234567890",
                           "0.0000000000000000000001",
                           "0.00000000000000000000001",
                           "1.0000000000000000000001",
                           "123456789.123456789",
                           "4503599627370497.5",
                           "2.2250738585072014",
                           "1.7976931348623157",
                           "00000000000000000000000.5",
                           "-999999999.99"}) {
    ExpectSameAsReference(text);
  }
}

TEST(DbaseNumberFastPath, GeneratedDecimalsMatchFromChars) {
  // A fixed pseudo-random sequence of digit strings with 0 to 8 decimals.
  std::uint64_t state = 0x9E3779B97F4A7C15ull;
  for (int i = 0; i < 20000; ++i) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    int decimals = static_cast<int>((state >> 60) % 9);
    std::uint64_t digits = (state >> 8) % 100000000000000ull;
    std::string text = std::to_string(digits);
    if (decimals > 0) {
      while (static_cast<int>(text.size()) <= decimals) text.insert(0, "0");
      text.insert(text.size() - static_cast<std::size_t>(decimals), ".");
    }
    if (state & 1) text.insert(0, "-");
    ExpectSameAsReference(text);
  }
}

TEST(DbaseNumberFastPath, BlanksAndSignsAsBefore) {
  EXPECT_EQ(ParseNumber("  +12.50"), 12.5);
  EXPECT_EQ(ParseNumber(std::string_view("\0\0-3.25  ", 9)), -3.25);
  EXPECT_EQ(ParseNumber("+-4"), -4);
  EXPECT_EQ(ParseNumber("--4"), std::nullopt);
  EXPECT_EQ(ParseNumber("-.5"), -0.5);
  EXPECT_EQ(ParseNumber("1 2"), std::nullopt);
  EXPECT_EQ(ParseNumber("1.2e1"), 12);
}

TEST(DbaseNumberFastPath, WholeNumbersMatchFromChars) {
  for (const char* text : {"0", "-0", "123456789012345678", "-123456789012345678",
                           "999999999999999999", "9223372036854775807", "-9223372036854775808",
                           "9223372036854775808", "0000000000000000000000012"}) {
    std::int64_t expected = 0;
    auto [ptr, ec] = std::from_chars(text, text + std::strlen(text), expected);
    std::optional<std::int64_t> reference;
    if (ec == std::errc() && *ptr == '\0') reference = expected;
    EXPECT_EQ(ParseWholeNumber(text), reference) << text;
  }
  EXPECT_EQ(ParseWholeNumber("  +42 "), 42);
  EXPECT_EQ(ParseWholeNumber("-"), std::nullopt);
  EXPECT_EQ(ParseWholeNumber("4-2"), std::nullopt);
  EXPECT_EQ(ParseWholeNumber("-12.0"), -12);
}

TEST(DbaseNumberFastPath, TrailingBlanksOfEveryLength) {
  // Blanks and NULs mixed, in runs that cross the eight-byte steps.
  for (std::size_t kept = 0; kept < 12; ++kept) {
    for (std::size_t blanks = 0; blanks < 20; ++blanks) {
      std::string text(kept, 'x');
      for (std::size_t i = 0; i < blanks; ++i) text.push_back(i % 3 == 0 ? '\0' : ' ');
      EXPECT_EQ(TrimTrailingBlanks(text).size(), kept) << kept << " " << blanks;
    }
  }
  // Bytes that share the blank's bit pattern partly are not blanks.
  EXPECT_EQ(TrimTrailingBlanks(std::string("a\x21       ", 9)), "a\x21");
  EXPECT_EQ(TrimTrailingBlanks(std::string("a       \x01", 9)).size(), 9u);
  EXPECT_EQ(TrimTrailingBlanks(std::string("\xA0        ", 9)), "\xA0");
}

}  // namespace
}  // namespace tabulix::source::dbase
