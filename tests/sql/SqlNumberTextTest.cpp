#include "sql/SqlNumberText.h"

#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

#include "framework/FormatSettings.h"
#include "framework/NumberText.h"
#include "sql/SqlValueText.h"

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
    EXPECT_EQ(FloatToSqlText(-1234567.125), "-1234567.125");
    EXPECT_EQ(FloatToSqlText(3), "3");
    EXPECT_EQ(FloatToSqlText(1e20), "1E+20");
    EXPECT_EQ(FloatToSqlText(1.5e-7), "1.5E-7");
  }
}

// A double goes out with the fewest of 15, 16 or 17 significant digits that the server reads
// back as the same double.
TEST(FloatToSqlText, ReadsBackAsTheSameDouble) {
  struct Case {
    double value;
    const char* text;
  };
  const Case cases[] = {
      {0.1 + 0.2, "0.30000000000000004"},
      {1.0 / 3, "0.3333333333333333"},
      {123456789012.3456, "123456789012.3456"},
      {std::numeric_limits<double>::max(), "1.7976931348623157E+308"},
      {-std::numeric_limits<double>::denorm_min(), "-4.94065645841247E-324"},
      {100000, "100000"},
      {2.5, "2.5"},
      {0.3, "0.3"},
      {1e15, "1E+15"},
      {9007199254740993.0, "9007199254740992"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FloatToSqlText(c.value), c.text) << c.text;
    EXPECT_EQ(TextToFloat(c.text), c.value) << c.text;
  }
  EXPECT_EQ(FloatToStr(0.1 + 0.2), "0.3");  // the display keeps 15 digits

  // Over random bit patterns, against the C library's "%.*G" of the C locale this test runs
  // in: the text is the first of 15, 16 and 17 digits that strtod reads back exactly.
  std::mt19937_64 random(9);
  for (int i = 0; i < 20000; ++i) {
    const double value = std::bit_cast<double>(random());
    if (!std::isfinite(value)) continue;
    std::string expected;
    for (int digits = 15; digits <= 17 && expected.empty(); ++digits) {
      char buffer[40];
      std::snprintf(buffer, sizeof buffer, "%.*G", digits, value);
      if (std::strtod(buffer, nullptr) == value || digits == 17) expected = buffer;
    }
    const std::string text = FloatToSqlText(value);
    ASSERT_EQ(std::strtod(text.c_str(), nullptr), value) << text;
    ASSERT_EQ(text.size(), expected.size() - (expected.find("E+0") != std::string::npos ||
                                              expected.find("E-0") != std::string::npos))
        << text << " against " << expected;
  }
}

TEST(MoneyToSqlText, CutsToTwoDecimals) {
  DecimalSeparatorScope comma(',');
  EXPECT_EQ(MoneyToSqlText(12.3456), "12.34");
  EXPECT_EQ(MoneyToSqlText(-0.999), "-0.99");
  EXPECT_EQ(MoneyToSqlText(12.3), "12.3");
  EXPECT_EQ(MoneyToSqlText(12), "12");
  // Cut from the 15-digit text: 0.3 is 0.29999999999999999 in 17 digits.
  EXPECT_EQ(MoneyToSqlText(0.3), "0.3");
  EXPECT_EQ(MoneyToSqlText(0.1 + 0.2), "0.3");
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

// A window sets the process locale from the environment. SQL texts keep the point whatever it
// says; only FormatSettings decides the separator of display texts.
class CommaLocale : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr)
        << "locale de_DE.UTF-8 missing: the test command makes it with "
           "localedef -i de_DE -f UTF-8 DIR/de_DE.UTF-8 and runs the tests with LOCPATH=DIR";
    char probe[8];
    std::snprintf(probe, sizeof probe, "%.1f", 2.5);
    ASSERT_STREQ(probe, "2,5") << "the C library does not write a comma in this locale";
  }
  void TearDown() override { std::setlocale(LC_ALL, saved_.c_str()); }

 private:
  std::string saved_;
};

TEST_F(CommaLocale, SqlTextsKeepThePointAndDisplayFollowsFormatSettings) {
  DecimalSeparatorScope point('.');
  struct Text {
    std::string got, want;
  };
  const Text texts[] = {
      {FloatToSqlText(2.5), "2.5"},
      {FloatToSqlText(0.1 + 0.2), "0.30000000000000004"},
      {MoneyToSqlText(12.3456), "12.34"},
      {ValueToSqlText(FieldValue::Double(-2.5), ftFloat, skMySql), "-2.5"},
      {FloatToStr(2.5), "2.5"},
      {CurrToStr(Currency{125000}), "12.5"},
  };
  for (const auto& t : texts) EXPECT_EQ(t.got, t.want);
  struct Number {
    double got, want;
  };
  const Number numbers[] = {
      {TextToFloat("2.5"), 2.5},
      {TextToFloat("2,5"), 2.5},
      {*TryStrToFloat("2.5"), 2.5},
      {SqlTextToValue("2.5", ftFloat).AsDouble(), 2.5},
  };
  for (const auto& n : numbers) EXPECT_EQ(n.got, n.want);

  // What a window's start-up does; the server's texts still have a point.
  FormatSettings::ResetFromLocale();
  EXPECT_EQ(FormatSettings::DecimalSeparator(), ',');
  EXPECT_EQ(FloatToStr(2.5), "2,5");
  EXPECT_EQ(CurrToStr(Currency{125000}), "12,5");
  EXPECT_EQ(TryStrToFloat("2,5"), 2.5);
  EXPECT_EQ(FloatToSqlText(2.5), "2.5");
  EXPECT_EQ(ValueToSqlText(FieldValue::FromCurrency(Currency{125000}), ftBCD, skMySql), "12.5");
  EXPECT_EQ(SqlTextToValue("12.50", ftBCD), FieldValue::FromCurrency(Currency{125000}));
}

}  // namespace
}  // namespace tabulix
