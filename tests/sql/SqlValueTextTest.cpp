#include "sql/SqlValueText.h"

#include <gtest/gtest.h>

#include <string>

#include "framework/Exceptions.h"
#include "framework/FormatSettings.h"

namespace tabulix {
namespace {

using namespace std::string_literals;

TDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  return ComposeDateTime(EncodeDate(y, mo, d), EncodeTime(h, mi, s, 0));
}

TEST(EscapeSqlString, EscapesTheSevenBytesExactly) {
  EXPECT_EQ(EscapeSqlString("a'b\n\\"), "a\\'b\\n\\\\");
  EXPECT_EQ(EscapeSqlString("\0\n\r\x1a\"'\\"s), "\\0\\n\\r\\Z\\\"\\'\\\\"s);
  const std::string high = "\xe4\xf6\xfc\x7f\x01\t%_";
  EXPECT_EQ(EscapeSqlString(high), high);
  EXPECT_EQ(EscapeSqlString(""), "");
  EXPECT_EQ(EscapeSqlString("\0"s).size(), 2u);
}

TEST(BytesToHexLiteral, WritesUpperCaseHex) {
  EXPECT_EQ(BytesToHexLiteral("\x00\x0f\xab\xff"s), "0x000FABFF");
  EXPECT_EQ(BytesToHexLiteral("A"), "0x41");
  EXPECT_EQ(BytesToHexLiteral(""), "NULL");
}

TEST(SqlTextToValue, IntegersGiveZeroForInvalidText) {
  for (TFieldType t : {ftSmallint, ftInteger, ftAutoInc}) {
    EXPECT_EQ(SqlTextToValue("-42", t), FieldValue::Integer(-42));
    EXPECT_EQ(SqlTextToValue("12.5", t), FieldValue::Integer(0));
    EXPECT_EQ(SqlTextToValue("", t), FieldValue::Integer(0));
    EXPECT_EQ(SqlTextToValue("99999999999", t), FieldValue::Integer(0));
  }
}

TEST(SqlTextToValue, BooleansLookAtTheFirstLetter) {
  for (const char* yes : {"yes", "Y", "true", "T", "tx"}) {
    EXPECT_EQ(SqlTextToValue(yes, ftBoolean), FieldValue::Boolean(true)) << yes;
  }
  for (const char* no : {"1", "N", "false", "", " y"}) {
    EXPECT_EQ(SqlTextToValue(no, ftBoolean), FieldValue::Boolean(false)) << no;
  }
}

TEST(SqlTextToValue, FloatsReadThePointInACommaLocale) {
  DecimalSeparatorScope comma(',');
  EXPECT_EQ(SqlTextToValue("2.5", ftFloat), FieldValue::Double(2.5));
  EXPECT_EQ(SqlTextToValue("2.5", ftCurrency), FieldValue::Double(2.5));
  EXPECT_EQ(SqlTextToValue("x", ftFloat), FieldValue::Double(0));
  EXPECT_EQ(SqlTextToValue("12,5", ftBCD), FieldValue::FromCurrency(Currency{125000}));
  EXPECT_THROW(SqlTextToValue("abc", ftBCD), EConvertError);
}

TEST(SqlTextToValue, DatesTimesAndText) {
  EXPECT_EQ(SqlTextToValue("2001-12-31", ftDate), FieldValue::DateTime(At(2001, 12, 31)));
  EXPECT_EQ(SqlTextToValue("2001-12-31 14:05:09", ftDateTime),
            FieldValue::DateTime(At(2001, 12, 31, 14, 5, 9)));
  EXPECT_EQ(SqlTextToValue("14:05:09", ftTime), FieldValue::DateTime(EncodeTime(14, 5, 9, 0)));
  EXPECT_EQ(SqlTextToValue("", ftTime), FieldValue::DateTime(0));
  EXPECT_EQ(SqlTextToValue("12345678901234", ftLargeint), FieldValue::Bytes("12345678901234"));
  EXPECT_EQ(SqlTextToValue("a\0b"s, ftString), FieldValue::Bytes("a\0b"s));
  EXPECT_EQ(SqlTextToValue("x", ftBlob), FieldValue::Bytes("x"));
}

TEST(ValueToSqlText, NullAndEmptyAreNullForEveryType) {
  for (int t = ftUnknown; t <= ftDataSet; ++t) {
    EXPECT_EQ(ValueToSqlText(FieldValue::Null(), TFieldType(t), skMySql), "NULL") << t;
    EXPECT_EQ(ValueToSqlText(FieldValue(), TFieldType(t), skMySql), "NULL") << t;
  }
}

TEST(ValueToSqlText, BooleansByServerKind) {
  const FieldValue yes = FieldValue::Boolean(true), no = FieldValue::Boolean(false);
  EXPECT_EQ(ValueToSqlText(yes, ftBoolean, skMySql), "Y");
  EXPECT_EQ(ValueToSqlText(no, ftBoolean, skMySql), "N");
  EXPECT_EQ(ValueToSqlText(yes, ftBoolean, skPostgreSql), "t");
  EXPECT_EQ(ValueToSqlText(no, ftBoolean, skPostgreSql), "f");
  EXPECT_EQ(ValueToSqlText(yes, ftBoolean, skMsSql), "1");
  EXPECT_EQ(ValueToSqlText(no, ftBoolean, skMsSql), "0");
  EXPECT_EQ(ValueToSqlText(yes, ftBoolean, skGeneric), "Y");
  EXPECT_EQ(ValueToSqlText(FieldValue::Integer(0), ftBoolean, skMySql), "N");
}

TEST(ValueToSqlText, NumbersWriteAPointInACommaLocale) {
  DecimalSeparatorScope comma(',');
  EXPECT_EQ(ValueToSqlText(FieldValue::Double(2.5), ftFloat, skMySql), "2.5");
  EXPECT_EQ(ValueToSqlText(FieldValue::Double(2.5), ftCurrency, skMySql), "2.5");
  EXPECT_EQ(ValueToSqlText(FieldValue::Double(2.555), ftCurrency, skPostgreSql), "2.55::money");
  EXPECT_EQ(ValueToSqlText(FieldValue::Integer(-7), ftInteger, skMySql), "-7");
  EXPECT_EQ(ValueToSqlText(FieldValue::Largeint(1), ftSmallint, skMySql), "1");
  EXPECT_EQ(ValueToSqlText(FieldValue::Double(3.6), ftAutoInc, skMySql), "4");
  // The server reads a point only, whatever the display separator.
  EXPECT_EQ(ValueToSqlText(FieldValue::FromCurrency(Currency{125000}), ftBCD, skMySql), "12.5");
  EXPECT_EQ(ValueToSqlText(FieldValue::Largeint(9007199254740993), ftLargeint, skMySql),
            "9007199254740993");
}

TEST(ValueToSqlText, ConversionFailuresGiveEmptyText) {
  EXPECT_EQ(ValueToSqlText(FieldValue::Bytes("abc"), ftInteger, skMySql), "");
  EXPECT_EQ(ValueToSqlText(FieldValue::Bytes("abc"), ftFloat, skMySql), "");
  EXPECT_EQ(ValueToSqlText(FieldValue::Bytes("abc"), ftDate, skMySql), "");
  EXPECT_EQ(ValueToSqlText(FieldValue::Largeint(1LL << 40), ftInteger, skMySql), "");
}

TEST(ValueToSqlText, DatesAndTimes) {
  const FieldValue stamp = FieldValue::DateTime(At(2001, 12, 31, 14, 5, 9));
  EXPECT_EQ(ValueToSqlText(stamp, ftDateTime, skMySql), "2001-12-31 14:05:09");
  EXPECT_EQ(ValueToSqlText(stamp, ftDate, skMySql), "2001-12-31");
  EXPECT_EQ(ValueToSqlText(stamp, ftTime, skMySql), "14:05:09");
  EXPECT_EQ(ValueToSqlText(stamp, ftDateTime, skInterBase), "12/31/2001 14:05:09.000");
  EXPECT_EQ(ValueToSqlText(stamp, ftDate, skInterBase), "12/31/2001");
  EXPECT_EQ(ValueToSqlText(stamp, ftTime, skInterBase), "14:05:09");

  const FieldValue midnightDate = FieldValue::DateTime(At(2001, 12, 31));
  EXPECT_EQ(ValueToSqlText(midnightDate, ftDateTime, skMySql), "2001-12-31");
  EXPECT_EQ(ValueToSqlText(FieldValue::DateTime(0), ftDate, skMySql), "0001-01-01");
  EXPECT_EQ(ValueToSqlText(FieldValue::DateTime(EncodeTime(8, 0, 1, 0)), ftDateTime, skMySql),
            "0001-01-01 08:00:01");
}

TEST(ValueToSqlText, MidnightTimeIsWrittenWhole) {
  EXPECT_EQ(ValueToSqlText(FieldValue::DateTime(0), ftTime, skMySql), "00:00:00");
  EXPECT_EQ(ValueToSqlText(FieldValue::DateTime(At(2001, 12, 31)), ftTime, skMySql), "00:00:00");
  EXPECT_EQ(ValueToSqlText(FieldValue::DateTime(0), ftTime, skInterBase), "00:00:00");
}

TEST(ValueToSqlText, OtherTypesUseTheValuesOwnText) {
  EXPECT_EQ(ValueToSqlText(FieldValue::Bytes("O'Hara"), ftString, skMySql), "O'Hara");
  EXPECT_EQ(ValueToSqlText(FieldValue::Integer(5), ftWord, skMySql), "5");
  EXPECT_EQ(ValueToSqlText(FieldValue::Boolean(true), ftString, skMySql), "True");
  EXPECT_EQ(ValueToSqlText(FieldValue::Bytes("\x01\x02"), ftBlob, skMySql), "\x01\x02");
}

TEST(ValueToSqlText, RoundTripsThroughSqlTextToValue) {
  struct Case {
    const char* text;
    TFieldType type;
  };
  const Case cases[] = {
      {"42", ftInteger},    {"2.5", ftFloat},     {"2001-12-31", ftDate},
      {"14:05:09", ftTime}, {"00:00:00", ftTime}, {"2001-12-31 14:05:09", ftDateTime},
      {"Y", ftBoolean},     {"N", ftBoolean},     {"some text", ftString}};
  DecimalSeparatorScope comma(',');
  for (const auto& c : cases) {
    EXPECT_EQ(ValueToSqlText(SqlTextToValue(c.text, c.type), c.type, skMySql), c.text) << c.text;
  }
}

}  // namespace
}  // namespace tabulix
