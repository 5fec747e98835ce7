#include "framework/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include "framework/Exceptions.h"
#include "framework/FormatSettings.h"

namespace tabulix {
namespace {

TEST(IntegerText, AcceptsOnlyPlainDecimalIntegers) {
  EXPECT_EQ(StrToInt("3306"), 3306);
  EXPECT_EQ(StrToInt("-2147483648"), INT32_MIN);
  EXPECT_EQ(StrToInt64("9223372036854775807"), INT64_MAX);
  EXPECT_EQ(StrToInt64("-9223372036854775808"), INT64_MIN);
  for (const char* bad : {"", "3306 ", " 1", "12a", "+", "2147483648", "99999999999999999999"}) {
    EXPECT_FALSE(TryStrToInt(bad)) << bad;
  }
  try {
    StrToInt("3306 ");
    FAIL() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'3306 ' ist kein gültiger Integerwert");
  }
}

TEST(FloatText, FollowsTheDecimalSeparator) {
  EXPECT_EQ(FloatToStr(2.5), "2.5");
  EXPECT_EQ(FloatToStr(1234567.89), "1234567.89");
  EXPECT_EQ(FloatToStr(0.1 + 0.2), "0.3");
  EXPECT_EQ(FloatToStr(1e20), "1E+20");
  EXPECT_EQ(FloatToStr(-0.000001), "-1E-6");
  EXPECT_EQ(*TryStrToFloat("2.5"), 2.5);
  DecimalSeparatorScope comma(',');
  EXPECT_EQ(FloatToStr(2.5), "2,5");
  EXPECT_EQ(*TryStrToFloat("2,5"), 2.5);
  EXPECT_FALSE(TryStrToFloat("2.5"));
  EXPECT_FALSE(TryStrToFloat(""));
  EXPECT_FALSE(TryStrToFloat("abc"));
}

// Parsing as the runtime's conversion does, without the C library's locale: a plus sign and
// surrounding spaces are taken, a value below the smallest double is 0, one above the largest
// fails, and nothing but decimal notation converts.
TEST(FloatText, ParsesDecimalNotationOnly) {
  struct Case {
    const char* text;
    std::optional<double> value;
  };
  const Case cases[] = {
      {"+2.5", 2.5},
      {" 2.5 ", 2.5},
      {"2.", 2.0},
      {".5", 0.5},
      {"-1E3", -1000.0},
      {"1e-400", 0.0},
      {"0.0001e-320", 0.0},
      {"1000e305", 1e308},
      {"4.9e-324", 5e-324},
      {"1e400", {}},
      {"10000e305", {}},
      {"-0.01e311", {}},
      {"1e-99999999999999999999", 0.0},
      {"1e99999999999999999999", {}},
      {"+-2", {}},
      {"1e", {}},
      {"inf", {}},
      {"nan", {}},
      {"0x10", {}},
      {"1.5.2", {}},
      {"", {}},
      {"-", {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TryStrToFloat(c.text), c.value) << c.text;
  }
  EXPECT_TRUE(std::signbit(*TryStrToFloat("-1e-400")));
}

TEST(CurrencyText, IsExactBeyondDoublePrecision) {
  auto big = TryStrToCurr("922337203685477.5807");
  ASSERT_TRUE(big);
  EXPECT_EQ(big->scaled, INT64_MAX);
  EXPECT_EQ(CurrToStr(*big), "922337203685477.5807");
  EXPECT_EQ(TryStrToCurr("-12.34567")->scaled, -123457);
  EXPECT_EQ(CurrToStr(Currency{-123400}), "-12.34");
  EXPECT_EQ(CurrToStr(Currency{50000}), "5");
  EXPECT_FALSE(TryStrToCurr("922337203685478"));
  EXPECT_FALSE(TryStrToCurr("1.2.3"));
  EXPECT_THROW(StrToCurr("x"), EConvertError);
  DecimalSeparatorScope comma(',');
  EXPECT_EQ(TryStrToCurr("1234567,89")->scaled, 12345678900);
  EXPECT_EQ(CurrToStr(Currency{12345678900}), "1234567,89");
}

}  // namespace
}  // namespace tabulix
