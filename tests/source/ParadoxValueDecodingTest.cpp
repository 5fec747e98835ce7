// The stored forms of Paradox record values: big-endian with a flipped top bit, inverted
// negative doubles, day numbers from 1 January of year 1, and packed-decimal BCD.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "framework/DateTime.h"
#include "source/paradox/ParadoxCodePage.h"
#include "source/paradox/ValueDecoding.h"

namespace tabulix::source::paradox {
namespace {

const std::uint8_t* Raw(const std::string& s) {
  return reinterpret_cast<const std::uint8_t*>(s.data());
}

std::string Hex(const std::string& hex) {
  std::string out;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    if (hex[i] == ' ') {
      --i;
      continue;
    }
    out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  }
  return out;
}

struct IntegerCase {
  const char* stored;
  int size;
  std::optional<std::int32_t> value;
};

class ParadoxIntegerTest : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(ParadoxIntegerTest, Decodes) {
  const IntegerCase& c = GetParam();
  EXPECT_EQ(DecodeInteger(Raw(Hex(c.stored)), c.size), c.value) << c.stored;
}

INSTANTIATE_TEST_SUITE_P(
    Stored, ParadoxIntegerTest,
    ::testing::Values(IntegerCase{"8001", 2, 1}, IntegerCase{"8100", 2, 256},
                      IntegerCase{"7FFF", 2, -1}, IntegerCase{"8000", 2, 0},
                      IntegerCase{"0001", 2, -32767}, IntegerCase{"FFFF", 2, 32767},
                      IntegerCase{"0000", 2, std::nullopt}, IntegerCase{"80000001", 4, 1},
                      IntegerCase{"7FFFFFFE", 4, -2}, IntegerCase{"FFFFFFFF", 4, 2147483647},
                      IntegerCase{"00000001", 4, -2147483647},
                      IntegerCase{"00000000", 4, std::nullopt}, IntegerCase{"80000000", 4, 0}));

TEST(ParadoxDoubleTest, DecodesPositiveNegativeAndBlank) {
  EXPECT_EQ(DecodeDouble(Raw(Hex("BFF0000000000000"))), 1.0);
  EXPECT_EQ(DecodeDouble(Raw(Hex("400FFFFFFFFFFFFF"))), -1.0);
  EXPECT_EQ(DecodeDouble(Raw(Hex("C069000000000000"))), 200.0);
  EXPECT_EQ(DecodeDouble(Raw(Hex("8000000000000000"))), 0.0);
  EXPECT_EQ(DecodeDouble(Raw(Hex("0000000000000000"))), std::nullopt);
}

TEST(ParadoxLogicalTest, DecodesFalseTrueAndBlank) {
  EXPECT_EQ(DecodeLogical(Raw(Hex("80"))), false);
  EXPECT_EQ(DecodeLogical(Raw(Hex("81"))), true);
  EXPECT_EQ(DecodeLogical(Raw(Hex("00"))), std::nullopt);
}

TEST(ParadoxDateTest, CountsDaysFromTheFirstOfJanuaryOfYearOne) {
  EXPECT_EQ(DecodeDate(Raw(Hex("800B3DB7"))).value, EncodeDate(2018, 1, 1));
  EXPECT_EQ(DecodeDate(Raw(Hex("80008D40"))).value, EncodeDate(100, 1, 1));   // day 36160
  EXPECT_EQ(DecodeDate(Raw(Hex("800B1ECF"))).value, EncodeDate(1996, 5, 4));  // day 728783
  EXPECT_EQ(DecodeDate(Raw(Hex("80000001"))).value, EncodeDate(1, 1, 1));
  EXPECT_EQ(DecodeDate(Raw(Hex("8037B9DB"))).value, EncodeDate(9999, 12, 31));  // day 3652059
  EXPECT_TRUE(DecodeDate(Raw(Hex("00000000"))).null);
  // Outside years 1 to 9999 there is no date to give.
  EXPECT_FALSE(DecodeDate(Raw(Hex("80000000"))).valid);
  EXPECT_FALSE(DecodeDate(Raw(Hex("7FFFFFFF"))).valid);
  EXPECT_FALSE(DecodeDate(Raw(Hex("8037B9DC"))).valid);
}

TEST(ParadoxTimeTest, KeepsMillisecondsAndRejectsValuesOutsideTheDay) {
  DecodedTime t = DecodeTime(Raw(Hex("8036F268")));
  ASSERT_TRUE(t.valid);
  EXPECT_FALSE(t.null);
  EXPECT_DOUBLE_EQ(t.value, EncodeTime(1, 0, 1, 0));

  t = DecodeTime(Raw(Hex("80000000")));  // midnight is a value, not blank
  EXPECT_FALSE(t.null);
  EXPECT_EQ(t.value, 0.0);

  t = DecodeTime(Raw(Hex("85265BFF")));  // 86 399 999 ms
  ASSERT_TRUE(t.valid);
  EXPECT_EQ(DateTimeToMsOfDay(t.value), 86399999);

  EXPECT_TRUE(DecodeTime(Raw(Hex("00000000"))).null);
  EXPECT_FALSE(DecodeTime(Raw(Hex("85265C00"))).valid);  // 86 400 000 ms
  EXPECT_FALSE(DecodeTime(Raw(Hex("7FFFFFFF"))).valid);  // -1 ms
}

TEST(ParadoxTimestampTest, SplitsDayAndMilliseconds) {
  DecodedTime t = DecodeTimestamp(Raw(Hex("C2CCF98ACB193400")));
  ASSERT_TRUE(t.valid);
  EXPECT_DOUBLE_EQ(t.value, EncodeDate(2020, 2, 1) + EncodeTime(1, 0, 1, 0));

  // 1 January of year 1 plus 12:34:56.789
  double ms = 86400000.0 + 45296789.0;
  std::uint64_t raw;
  std::memcpy(&raw, &ms, sizeof raw);
  std::string stored(8, '\0');
  raw |= std::uint64_t{1} << 63;
  for (int i = 0; i < 8; ++i) stored[7 - i] = static_cast<char>(raw >> (8 * i));
  t = DecodeTimestamp(Raw(stored));
  ASSERT_TRUE(t.valid);
  TimeParts parts = tabulix::DecodeTime(t.value);
  EXPECT_EQ(parts.hour, 12);
  EXPECT_EQ(parts.minute, 34);
  EXPECT_EQ(parts.second, 56);
  EXPECT_EQ(parts.millisecond, 789);
  DateParts date = tabulix::DecodeDate(t.value);
  EXPECT_EQ(date.year, 1);
  EXPECT_EQ(date.month, 1);
  EXPECT_EQ(date.day, 1);

  EXPECT_TRUE(DecodeTimestamp(Raw(Hex("0000000000000000"))).null);
  EXPECT_FALSE(DecodeTimestamp(Raw(Hex("8000000000000001"))).valid);  // day 0
  EXPECT_FALSE(DecodeTimestamp(Raw(Hex("FFF0000000000000"))).valid);  // infinity
  EXPECT_FALSE(DecodeTimestamp(Raw(Hex("FFF8000000000000"))).valid);  // NaN
}

// 17 stored BCD bytes: sign and scale byte, then 32 digits (complemented when negative).
std::string Bcd(bool negative, int scale, const std::string& digits32) {
  std::string s(1, static_cast<char>((negative ? 0x40 : 0xC0) | scale));
  for (std::size_t i = 0; i < 32; i += 2) {
    int hi = digits32[i] - '0', lo = digits32[i + 1] - '0';
    if (digits32[i] > '9') hi = digits32[i] - 'A' + 10;
    if (digits32[i + 1] > '9') lo = digits32[i + 1] - 'A' + 10;
    if (negative) hi = 15 - hi, lo = 15 - lo;
    s += static_cast<char>(hi << 4 | lo);
  }
  return s;
}

struct BcdCase {
  bool negative;
  int scale;
  const char* digits;
  std::int64_t scaled;  // ten-thousandths
};

class ParadoxBcdTest : public ::testing::TestWithParam<BcdCase> {};

TEST_P(ParadoxBcdTest, RoundsToFourDecimals) {
  const BcdCase& c = GetParam();
  DecodedBcd v = DecodeBcd(Raw(Bcd(c.negative, c.scale, c.digits)), c.scale);
  ASSERT_FALSE(v.null);
  ASSERT_FALSE(v.overflow);
  EXPECT_EQ(v.value.scaled, c.scaled) << c.digits;
}

INSTANTIATE_TEST_SUITE_P(
    Stored, ParadoxBcdTest,
    ::testing::Values(BcdCase{false, 2, "00000000000000000000000000000123", 12300},
                      BcdCase{true, 2, "00000000000000000000000000000123", -12300},
                      BcdCase{false, 0, "00000000000000000000000000000001", 10000},
                      BcdCase{false, 2, "00000000000000000000000000000000", 0},
                      BcdCase{false, 5, "00000000000000000000000000012345", 1235},
                      BcdCase{true, 5, "00000000000000000000000000012345", -1235},
                      BcdCase{false, 5, "00000000000000000000000000012344", 1234},
                      BcdCase{false, 32, "12299999999999999980B00E0000BF4A", 1230},
                      BcdCase{false, 32, "99990000000000000000000000000000", 9999},
                      BcdCase{false, 32, "99995000000000000000000000000000", 10000},
                      BcdCase{false, 4, "00000000000009223372036854775807",
                              std::numeric_limits<std::int64_t>::max()},
                      BcdCase{true, 4, "00000000000009223372036854775807",
                              -std::numeric_limits<std::int64_t>::max()}));

TEST(ParadoxBcdLimitTest, BlankAndOverflow) {
  EXPECT_TRUE(DecodeBcd(Raw(std::string(17, '\0')), 2).null);
  // Bit 6 of the first byte clear: blank, whatever the digits.
  std::string blank = Bcd(false, 2, "00000000000000000000000000000123");
  blank[0] = static_cast<char>(blank[0] & ~0x40);
  EXPECT_TRUE(DecodeBcd(Raw(blank), 2).null);
  // A nibble above 9 among the digits that make the value: no value, never a zero digit.
  EXPECT_TRUE(DecodeBcd(Raw(Bcd(false, 4, "0000000000000000000000000001F999")), 4).badDigit);
  EXPECT_TRUE(DecodeBcd(Raw(Bcd(true, 2, "000000000000000000000000000001A3")), 2).badDigit);
  EXPECT_TRUE(DecodeBcd(Raw(Bcd(false, 0, "00000000000000010000000000000000")), 0).overflow);
  EXPECT_TRUE(DecodeBcd(Raw(Bcd(false, 4, "00000000000009223372036854775808")), 4).overflow);
  EXPECT_TRUE(DecodeBcd(Raw(Bcd(false, 5, "00000000000092233720368547758075")), 5).overflow);
  EXPECT_FALSE(DecodeBcd(Raw(Bcd(false, 5, "00000000000092233720368547758074")), 5).overflow);
}

struct CodePageCase {
  int codePage;
  const char* sortOrder;
  const char* encoding;
};

class ParadoxCodePageTest : public ::testing::TestWithParam<CodePageCase> {};

TEST_P(ParadoxCodePageTest, NamesTheIconvEncoding) {
  const CodePageCase& c = GetParam();
  EXPECT_EQ(ParadoxTextEncoding(c.codePage, c.sortOrder), c.encoding);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, ParadoxCodePageTest,
    ::testing::Values(CodePageCase{1252, "DBWINWE0", "CP1252"}, CodePageCase{936, "china", "CP936"},
                      CodePageCase{850, "ascii", "CP850"}, CodePageCase{0, "", "CP437"},
                      CodePageCase{0, "DBWINUS0", "CP1252"}, CodePageCase{0, "ANSII850", "CP1252"},
                      CodePageCase{0, "DB850DE0", "CP850"}, CodePageCase{0, "china", "CP936"},
                      CodePageCase{0, "ascii", "CP437"}, CodePageCase{0, "BLROM800", "CP437"}));

}  // namespace
}  // namespace tabulix::source::paradox
