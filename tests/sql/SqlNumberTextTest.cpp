#include "sql/SqlNumberText.h"

#include <gtest/gtest.h>

#include "framework/FormatSettings.h"

namespace tabulix {
namespace {

TEST(TextToFloat, AcceptsPointOrCommaInEveryLocale) {
  for (char separator : {'.', ','}) {
    DecimalSeparatorScope scope(separator);
    EXPECT_DOUBLE_EQ(TextToFloat("2.5"), 2.5) << separator;
    EXPECT_DOUBLE_EQ(TextToFloat("2,5"), 2.5) << separator;
    EXPECT_DOUBLE_EQ(TextToFloat("-1e3"), -1000.0) << separator;
    EXPECT_EQ(TextToFloat(""), 0.0);
    EXPECT_EQ(TextToFloat("abc"), 0.0);
    EXPECT_EQ(TextToFloat("1.234,5"), 0.0);  // two separators do not convert
    EXPECT_EQ(TextToFloatDef("abc", 7.5), 7.5);
    EXPECT_EQ(TextToFloatDef("", 7.5), 0.0);
  }
}

TEST(FloatToSqlText, AlwaysWritesAPoint) {
  for (char separator : {'.', ','}) {
    DecimalSeparatorScope scope(separator);
    EXPECT_EQ(FloatToSqlText(2.5), "2.5");
    EXPECT_EQ(FloatToSqlText(-1234567.125), "-1234567.125");
    EXPECT_EQ(FloatToSqlText(3), "3");
    EXPECT_EQ(FloatToSqlText(1e20), "1E+20");
    EXPECT_EQ(FloatToSqlText(1.5e-7), "1.5E-7");
  }
}

TEST(MoneyToSqlText, CutsToTwoDecimals) {
  DecimalSeparatorScope comma(',');
  EXPECT_EQ(MoneyToSqlText(12.3456), "12.34");
  EXPECT_EQ(MoneyToSqlText(-0.999), "-0.99");
  EXPECT_EQ(MoneyToSqlText(12.3), "12.3");
  EXPECT_EQ(MoneyToSqlText(12), "12");
  // Exponent forms keep their magnitude.
  EXPECT_EQ(MoneyToSqlText(1.5e-7), "0");
  EXPECT_EQ(MoneyToSqlText(1.25e20), "1.25E+20");
}

TEST(PadNumber, PadsToTheWidth) {
  EXPECT_EQ(PadNumber(7, 3), "007");
  EXPECT_EQ(PadNumber(1234, 2), "1234");
  EXPECT_EQ(PadNumber(0, 0), "0");
  EXPECT_EQ(PadNumber(-5, 3), "-05");
}

}  // namespace
}  // namespace tabulix
