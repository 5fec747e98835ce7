#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "dataset/ZRecordLayout.h"
#include "dataset/ZSqlBuffer.h"
#include "framework/DateTime.h"
#include "framework/Exceptions.h"
#include "framework/FormatSettings.h"
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

// Field s holds 5 characters of up to 4 bytes each; longer texts are cut after the fifth
// character, never inside one, whether they come from a field value or a column text.
TEST_F(SqlBufferValueTest, StringsKeepTheirCharactersAndAreCutAtACharacterBoundary) {
  const std::string ae = "\xC3\xA4", sz = "\xC3\x9F", euro = "\xE2\x82\xAC";
  const std::string emoji = "\xF0\x9F\x98\x80";
  const struct {
    std::string in, kept;
  } cases[] = {
      {"abcdefgh", "abcde"},
      {"xy", "xy"},
      {"", ""},
      {ae + ae + ae + ae + ae + ae, ae + ae + ae + ae + ae},
      {"abcd" + ae, "abcd" + ae},
      {"abcde" + ae, "abcde"},
      {emoji + emoji + emoji + emoji + emoji + "z", emoji + emoji + emoji + emoji + emoji},
      {"M" + ae + sz + euro + emoji + "!", "M" + ae + sz + euro + emoji},
  };
  for (const auto& c : cases) {
    buffer.SetFieldValue(record, 0, FieldValue::Bytes(c.in));
    EXPECT_EQ(buffer.GetFieldValue(record, 0), FieldValue::Bytes(c.kept)) << c.in;
    buffer.SetStringText(record, 0, c.in);
    EXPECT_EQ(buffer.GetFieldValue(record, 0), FieldValue::Bytes(c.kept)) << c.in;
  }
  EXPECT_THROW(buffer.SetStringText(record, 2, "1"), EDatabaseError);
}

// "Müller Straße 12345" and 19 x "a" + "ä" fill a char(20) exactly and keep every byte.
TEST_F(SqlBufferTest, UmlautsFillACharacterFieldExactly) {
  Bind({MakeField(0, "s", ftString, 20)});
  std::byte* record = buffer.AddRecord();
  for (const std::string& text : {std::string("M\xC3\xBCller Stra\xC3\x9F"
                                              "e 12345"),
                                  std::string(19, 'a') + "\xC3\xA4"}) {
    buffer.SetFieldValue(record, 0, FieldValue::Bytes(text));
    EXPECT_EQ(buffer.GetFieldValue(record, 0), FieldValue::Bytes(text));
  }
}

// A value the slot cannot hold raises the framework's message naming the field and leaves
// the field null; nothing is stored in its place.
TEST_F(SqlBufferTest, ValuesTheSlotCannotHoldRaiseInvalidValue) {
  Bind({MakeField(0, "small", ftSmallint), MakeField(1, "word", ftWord),
        MakeField(2, "int", ftInteger), MakeField(3, "big", ftLargeint),
        MakeField(4, "real", ftFloat), MakeField(5, "bcd", ftBCD, 4)});
  FieldObject(3)->SetDisplayLabel("Big One");
  std::byte* record = buffer.AddRecord();
  const struct {
    int field;
    FieldValue value;
    const char* name;
  } cases[] = {
      {0, FieldValue::Integer(70000), "small"},
      {0, FieldValue::Integer(-32769), "small"},
      {1, FieldValue::Integer(-1), "word"},
      {1, FieldValue::Integer(65536), "word"},
      {2, FieldValue::Largeint(1LL << 31), "int"},
      {2, FieldValue::Bytes("abc"), "int"},
      {3, FieldValue::Bytes("12x"), "Big One"},
      {3, FieldValue::Double(1.5), "Big One"},
      {3, FieldValue::Bytes("99999999999999999999"), "Big One"},
      {3, FieldValue::Boolean(true), "Big One"},
      {4, FieldValue::Double(std::nan("")), "real"},
      {4, FieldValue::Double(HUGE_VAL), "real"},
      {5, FieldValue::Double(1e15), "bcd"},
  };
  for (const auto& c : cases) {
    buffer.SetFieldValue(record, c.field, FieldValue::Integer(1));
    try {
      buffer.SetFieldValue(record, c.field, c.value);
      ADD_FAILURE() << c.name << " took " << c.value.AsText();
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(),
                std::string("Ung\xC3\xBCltiger Wert f\xC3\xBCr Feld '") + c.name + "'");
    }
    EXPECT_TRUE(buffer.IsNull(record, c.field)) << c.name;
  }
  // The limits themselves fit, and 64-bit integers come whole from every integral form.
  const struct {
    int field;
    FieldValue value;
    FieldValue stored;
  } fits[] = {
      {0, FieldValue::Integer(-32768), FieldValue::Integer(-32768)},
      {1, FieldValue::Integer(65535), FieldValue::Integer(65535)},
      {2, FieldValue::Largeint(INT32_MIN), FieldValue::Integer(INT32_MIN)},
      {3, FieldValue::Largeint(INT64_MAX), FieldValue::Bytes("9223372036854775807")},
      {3, FieldValue::Bytes("-9223372036854775808"), FieldValue::Bytes("-9223372036854775808")},
      {3, FieldValue::Double(2.0), FieldValue::Bytes("2")},
  };
  for (const auto& f : fits) {
    buffer.SetFieldValue(record, f.field, f.value);
    EXPECT_EQ(buffer.GetFieldValue(record, f.field), f.stored) << f.value.AsText();
  }
}

// Decimal values travel exactly: as ten-thousandths in the slot and as texts with a point.
TEST_F(SqlBufferValueTest, DecimalTextsAreExactWhateverTheLocale) {
  DecimalSeparatorScope comma(',');
  const struct {
    const char* in;
    const char* out;  // nullptr: not a decimal the slot holds
  } cases[] = {
      {"922337203685477.5807", "922337203685477.5807"},
      {"-922337203685477.5808", "-922337203685477.5808"},
      {"922337203685477.5808", nullptr},
      {"0.1000", "0.1"},
      {"-0.0001", "-0.0001"},
      {"12.345600", "12.3456"},
      {"12.34561", nullptr},
      {"100", "100"},
      {"+7.", "7"},
      {".5", "0.5"},
      {"1,5", nullptr},
      {"1e3", nullptr},
      {"", nullptr},
      {"-", nullptr},
  };
  for (const auto& c : cases) {
    if (c.out) {
      buffer.SetValueText(record, 5, c.in);
      EXPECT_EQ(buffer.GetValueText(record, 5), c.out) << c.in;
    } else {
      EXPECT_THROW(buffer.SetValueText(record, 5, c.in), EConvertError) << c.in;
      EXPECT_EQ(buffer.GetValueText(record, 5), "NULL") << c.in;
    }
  }
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
  // 30 December 1899 (day 0 of the date-times) is written as itself.
  buffer.SetFieldValue(record, 6, FieldValue::DateTime(0.0));
  EXPECT_EQ(buffer.GetValueText(record, 6), "1899-12-30");
  buffer.SetFieldValue(record, 8, FieldValue::DateTime(0.5));
  EXPECT_EQ(buffer.GetValueText(record, 8), "1899-12-30 12:00:00");
  buffer.SetFieldValue(record, 8, FieldValue::DateTime(0.0));
  EXPECT_EQ(buffer.GetValueText(record, 8), "1899-12-30");
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
