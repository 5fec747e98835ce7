#include "framework/FieldValue.h"

#include <gtest/gtest.h>

#include "framework/Exceptions.h"
#include "framework/FormatSettings.h"

namespace tabulix {
namespace {

TEST(FieldValue, BooleanToIntegerIsMinusOneOrZero) {
  EXPECT_EQ(FieldValue::Boolean(true).AsInteger(), -1);
  EXPECT_EQ(FieldValue::Boolean(false).AsInteger(), 0);
  EXPECT_EQ(FieldValue::Boolean(true).AsText(), "True");
}

TEST(FieldValue, EmptyAndNullHaveNoValue) {
  EXPECT_TRUE(FieldValue().IsNullOrEmpty());
  EXPECT_TRUE(FieldValue::Null().IsNullOrEmpty());
  EXPECT_FALSE(FieldValue::Bytes("").IsNullOrEmpty());
  EXPECT_THROW(FieldValue::Null().AsInteger(), EVariantError);
  EXPECT_THROW(FieldValue().AsDouble(), EVariantError);
  EXPECT_EQ(FieldValue::Null().AsText(), "");
}

TEST(FieldValue, LargeintKeepsAll64Bits) {
  FieldValue v = FieldValue::Largeint(INT64_MAX);
  EXPECT_EQ(v.AsLargeint(), INT64_MAX);
  EXPECT_EQ(v.AsText(), "9223372036854775807");
  EXPECT_THROW(v.AsInteger(), EVariantError);
  EXPECT_EQ(FieldValue::Bytes("-9223372036854775808").AsLargeint(), INT64_MIN);
}

TEST(FieldValue, TextConversionsRaiseOnBadText) {
  EXPECT_EQ(FieldValue::Bytes("42").AsInteger(), 42);
  EXPECT_THROW(FieldValue::Bytes("4x2").AsInteger(), EConvertError);
  EXPECT_EQ(FieldValue::Bytes("2.5").AsDouble(), 2.5);
  EXPECT_THROW(FieldValue::Bytes("maybe").AsBoolean(), EVariantError);
  EXPECT_EQ(FieldValue::Bytes("2001-12-31 14:05:09").AsDateTime(),
            ComposeDateTime(EncodeDate(2001, 12, 31), EncodeTime(14, 5, 9, 0)));
  EXPECT_THROW(FieldValue::Bytes("2001-02-30").AsDateTime(), EVariantError);
}

TEST(FieldValue, CurrencyAndDoubleConvertBothWays) {
  FieldValue money = FieldValue::FromCurrency(Currency{12345678900});
  EXPECT_DOUBLE_EQ(money.AsDouble(), 1234567.89);
  EXPECT_EQ(money.AsText(), "1234567.89");
  EXPECT_EQ(FieldValue::Double(1234567.89).AsCurrency().scaled, 12345678900);
  EXPECT_EQ(FieldValue::Double(2.5).AsInteger(), 2);  // banker's rounding
  EXPECT_EQ(FieldValue::Double(3.5).AsInteger(), 4);
  DecimalSeparatorScope comma(',');
  EXPECT_EQ(FieldValue::Double(2.5).AsText(), "2,5");
}

}  // namespace
}  // namespace tabulix
