#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "dataset/ZRecordLayout.h"
#include "dataset/ZSqlBuffer.h"
#include "framework/DateTime.h"
#include "framework/Exceptions.h"
#include "tests/dataset/SqlBufferFixture.h"

namespace tabulix::test {
namespace {

using namespace record;

// The raw value bytes of a slot, as the framework's record buffers see them.
template <typename T>
T RawValue(const TSqlBuffer& buffer, const std::byte* record, int field) {
  std::vector<std::byte> raw(std::max<std::size_t>(sizeof(T), 17));
  EXPECT_TRUE(buffer.GetRaw(record, field, raw.data()));
  return Load<T>(raw.data());
}

class SqlBufferValueTest : public SqlBufferTest {
 protected:
  void SetUp() override {
    Bind({MakeField(0, "s", ftString, 5), MakeField(1, "small", ftSmallint),
          MakeField(2, "i", ftInteger), MakeField(3, "b", ftBoolean), MakeField(4, "f", ftFloat),
          MakeField(5, "bcd", ftBCD, 4), MakeField(6, "d", ftDate), MakeField(7, "t", ftTime),
          MakeField(8, "dt", ftDateTime), MakeField(9, "big", ftLargeint),
          MakeField(10, "m", ftMemo), MakeField(11, "c", ftCurrency)});
    record = buffer.AddRecord();
  }
  std::byte* record = nullptr;
};

TEST_F(SqlBufferValueTest, SlotsHoldTheDocumentedFormats) {
  const TDateTime date = EncodeDate(2001, 12, 31);
  const TDateTime stamp = ComposeDateTime(date, EncodeTime(14, 5, 9, 250));
  buffer.SetFieldValue(record, 1, FieldValue::Integer(-300));
  buffer.SetFieldValue(record, 2, FieldValue::Integer(123456));
  buffer.SetFieldValue(record, 3, FieldValue::Boolean(true));
  buffer.SetFieldValue(record, 5, FieldValue::Double(12.34567));
  buffer.SetFieldValue(record, 6, FieldValue::DateTime(stamp));
  buffer.SetFieldValue(record, 7, FieldValue::DateTime(stamp));
  buffer.SetFieldValue(record, 8, FieldValue::DateTime(stamp));
  buffer.SetFieldValue(record, 9, FieldValue::Largeint(9000000000LL));

  EXPECT_EQ(RawValue<std::int16_t>(buffer, record, 1), -300);
  EXPECT_EQ(RawValue<std::int32_t>(buffer, record, 2), 123456);
  EXPECT_NE(RawValue<std::int16_t>(buffer, record, 3), 0);
  EXPECT_EQ(RawValue<std::int64_t>(buffer, record, 5), 123457);  // ten-thousandths
  const std::int32_t day = DateTimeToDayNumber(date);
  EXPECT_EQ(RawValue<std::int32_t>(buffer, record, 6), day);
  EXPECT_EQ(RawValue<std::int32_t>(buffer, record, 7), (14 * 3600 + 5 * 60 + 9) * 1000 + 250);
  EXPECT_EQ(RawValue<double>(buffer, record, 8),
            day * 86400000.0 + (14 * 3600 + 5 * 60 + 9) * 1000 + 250);
  EXPECT_EQ(RawValue<std::int64_t>(buffer, record, 9), 9000000000LL);
  // 1 January of year 1 is day 1.
  buffer.SetFieldValue(record, 6, FieldValue::DateTime(EncodeDate(1, 1, 1)));
  EXPECT_EQ(RawValue<std::int32_t>(buffer, record, 6), 1);
}

TEST_F(SqlBufferValueTest, ValuesReadBackAsTheirKinds) {
  const TDateTime date = EncodeDate(1970, 5, 1);
  const TDateTime time = EncodeTime(23, 59, 59, 980);
  buffer.SetFieldValue(record, 0, FieldValue::Bytes("abc"));
  buffer.SetFieldValue(record, 1, FieldValue::Integer(7));
  buffer.SetFieldValue(record, 3, FieldValue::Boolean(false));
  buffer.SetFieldValue(record, 4, FieldValue::Double(2.5));
  buffer.SetFieldValue(record, 5, FieldValue::Bytes("1.5"));
  buffer.SetFieldValue(record, 6, FieldValue::DateTime(date + time));
  buffer.SetFieldValue(record, 7, FieldValue::DateTime(date + time));
  buffer.SetFieldValue(record, 8, FieldValue::DateTime(date + time));
  buffer.SetFieldValue(record, 9, FieldValue::Bytes("-42"));
  buffer.SetFieldValue(record, 10, FieldValue::Bytes(std::string("a\0b", 3)));
  buffer.SetFieldValue(record, 11, FieldValue::Integer(3));

  EXPECT_EQ(buffer.GetFieldValue(record, 0), FieldValue::Bytes("abc"));
  EXPECT_EQ(buffer.GetFieldValue(record, 1), FieldValue::Integer(7));
  EXPECT_EQ(buffer.GetFieldValue(record, 3), FieldValue::Boolean(false));
  EXPECT_EQ(buffer.GetFieldValue(record, 4), FieldValue::Double(2.5));
  EXPECT_EQ(buffer.GetFieldValue(record, 5), FieldValue::FromCurrency(Currency{15000}));
  EXPECT_EQ(buffer.GetFieldValue(record, 6), FieldValue::DateTime(date));
  EXPECT_EQ(DateTimeToMsOfDay(buffer.GetFieldValue(record, 7).AsDateTime()),
            DateTimeToMsOfDay(time));
  EXPECT_EQ(buffer.GetFieldValue(record, 7).AsDateTime(), time);
  // A date-time read and written back stays exactly where it was, even just before midnight.
  FieldValue stamp = buffer.GetFieldValue(record, 8);
  EXPECT_EQ(DateTimeToDayNumber(stamp.AsDateTime()), DateTimeToDayNumber(date));
  EXPECT_EQ(DateTimeToMsOfDay(stamp.AsDateTime()), DateTimeToMsOfDay(time));
  const double raw = RawValue<double>(buffer, record, 8);
  buffer.SetFieldValue(record, 8, stamp);
  EXPECT_EQ(RawValue<double>(buffer, record, 8), raw);
  // Large integers travel as their decimal text.
  EXPECT_EQ(buffer.GetFieldValue(record, 9), FieldValue::Bytes("-42"));
  EXPECT_EQ(buffer.GetFieldValue(record, 10), FieldValue::Bytes(std::string("a\0b", 3)));
  EXPECT_EQ(buffer.GetFieldValue(record, 11), FieldValue::Double(3.0));
}

TEST_F(SqlBufferValueTest, DateTimesBeforeYear1900KeepTheirTimeOfDay) {
  const TDateTime value = ComposeDateTime(EncodeDate(1850, 3, 4), EncodeTime(6, 30, 0, 0));
  buffer.SetFieldValue(record, 8, FieldValue::DateTime(value));
  const TDateTime back = buffer.GetFieldValue(record, 8).AsDateTime();
  EXPECT_EQ(DecodeDate(back).year, 1850);
  EXPECT_EQ(DecodeTime(back).hour, 6);
  EXPECT_EQ(DecodeTime(back).minute, 30);
}

TEST_F(SqlBufferValueTest, StringsAreCutToTheirSlot) {
  buffer.SetFieldValue(record, 0, FieldValue::Bytes("abcdefgh"));
  EXPECT_EQ(buffer.GetFieldValue(record, 0), FieldValue::Bytes("abcde"));
  // Text written directly may fill the whole data size without terminator.
  buffer.SetStringText(record, 0, "123456789");
  EXPECT_EQ(buffer.GetFieldValue(record, 0), FieldValue::Bytes("123456"));
  buffer.SetStringText(record, 0, "xy");
  EXPECT_EQ(buffer.GetFieldValue(record, 0), FieldValue::Bytes("xy"));
  EXPECT_THROW(buffer.SetStringText(record, 2, "1"), EDatabaseError);
}

TEST_F(SqlBufferValueTest, EmptyNullAndUnconvertibleValuesLeaveTheFieldNull) {
  buffer.SetFieldValue(record, 2, FieldValue::Integer(1));
  buffer.SetFieldValue(record, 2, FieldValue());
  EXPECT_TRUE(buffer.IsNull(record, 2));
  buffer.SetFieldValue(record, 2, FieldValue::Integer(1));
  buffer.SetFieldValue(record, 2, FieldValue::Null());
  EXPECT_TRUE(buffer.IsNull(record, 2));

  buffer.SetFieldValue(record, 2, FieldValue::Integer(1));
  EXPECT_THROW(buffer.SetFieldValue(record, 2, FieldValue::Bytes("abc")), EConvertError);
  EXPECT_TRUE(buffer.IsNull(record, 2));
  buffer.SetFieldValue(record, 5, FieldValue::Integer(1));
  EXPECT_THROW(buffer.SetValueText(record, 5, "x"), EConvertError);
  EXPECT_TRUE(buffer.IsNull(record, 5));
  // Date-times outside years 1 to 9999 cannot be split into day and milliseconds.
  for (double outside : {1e300, -1e300, std::nan(""), -693594.0, 2958466.0}) {
    for (int field : {6, 7, 8}) {
      buffer.SetFieldValue(record, field, FieldValue::Integer(1));
      EXPECT_THROW(buffer.SetFieldValue(record, field, FieldValue::Double(outside)), EConvertError)
          << outside;
      EXPECT_TRUE(buffer.IsNull(record, field));
    }
  }
  buffer.SetFieldValue(record, 8, FieldValue::DateTime(-693593.25));  // 0001-01-01 06:00
  EXPECT_EQ(buffer.GetValueText(record, 8), "0001-01-01 06:00:00");
  // A large integer that is no number is stored as 0.
  buffer.SetFieldValue(record, 9, FieldValue::Bytes("many"));
  EXPECT_EQ(buffer.GetFieldValue(record, 9), FieldValue::Bytes("0"));
}

TEST_F(SqlBufferValueTest, RawAccessAndNullByte) {
  std::int32_t in = 77;
  buffer.SetRaw(record, 2, &in);
  EXPECT_FALSE(buffer.IsNull(record, 2));
  std::int32_t out = 0;
  EXPECT_TRUE(buffer.GetRaw(record, 2, &out));
  EXPECT_EQ(out, 77);
  buffer.SetRaw(record, 2, nullptr);
  EXPECT_FALSE(buffer.GetRaw(record, 2, &out));
  buffer.SetNull(record, 2, false);
  EXPECT_EQ(buffer.GetFieldValue(record, 2), FieldValue::Integer(77));
  EXPECT_TRUE(buffer.IsNull(nullptr, 2));
  EXPECT_THROW(buffer.IsNull(record, 12), EListError);
}

TEST_F(SqlBufferValueTest, ValueTextsUseTheLiteralForms) {
  EXPECT_EQ(buffer.GetValueText(nullptr, 2), "NULL");
  EXPECT_EQ(buffer.GetValueText(record, 2), "NULL");
  buffer.SetValueText(record, 2, "42");
  EXPECT_EQ(buffer.GetValueText(record, 2), "42");
  buffer.SetValueText(record, 3, "yes");
  EXPECT_EQ(buffer.GetValueText(record, 3), "Y");
  buffer.SetValueText(record, 8, "2001-12-31 14:05:09");
  EXPECT_EQ(buffer.GetValueText(record, 8), "2001-12-31 14:05:09");
  buffer.SetValueText(record, 6, "2001-02-30");
  EXPECT_EQ(buffer.GetValueText(record, 6), "2001-02-28");
  buffer.SetValueText(record, 7, "25:61:00");
  EXPECT_EQ(buffer.GetValueText(record, 7), "23:59:00");
  buffer.SetValueText(record, 9, "12345678901");
  EXPECT_EQ(buffer.GetValueText(record, 9), "12345678901");
  buffer.SetValueText(record, 10, "memo text");
  EXPECT_EQ(buffer.GetValueText(record, 10), "memo text");
  owner.serverKind = skPostgreSql;
  EXPECT_EQ(buffer.GetValueText(record, 3), "t");
}

}  // namespace
}  // namespace tabulix::test
