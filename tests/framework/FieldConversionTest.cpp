#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>

#include "DatasetFake.h"
#include "framework/FormatSettings.h"
#include "framework/fields/TIntegerField.h"

namespace tabulix::test {
namespace {

// One column per field type that has a class of its own, in this order.
const std::vector<TFieldType> kTypes = {
    ftString, ftSmallint, ftInteger, ftWord,    ftAutoInc,    ftLargeint,    ftBoolean,
    ftFloat,  ftCurrency, ftBCD,     ftDate,    ftTime,       ftDateTime,    ftBytes,
    ftBlob,   ftMemo,     ftGraphic, ftFmtMemo, ftParadoxOle, ftTypedBinary, ftVarBytes};

std::vector<DatasetFake::Column> AllColumns() {
  std::vector<DatasetFake::Column> cols;
  for (TFieldType t : kTypes) cols.push_back({"F" + std::to_string(t), t, 10});
  return cols;
}

class FieldConversionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ds.Open();
    ds.Append();
  }
  TField& Field(TFieldType t) { return ds.FieldByName("F" + std::to_string(t)); }
  const FieldValue& Stored(TFieldType t) {
    return ds.work.values.at(static_cast<std::size_t>(Field(t).FieldNo() - 1));
  }
  DecimalSeparatorScope point{'.'};
  DatasetFake ds{AllColumns()};
};

struct SetCase {
  const char* name;
  TFieldType type;
  FieldValue input;
  std::optional<FieldValue> stored;  // nullopt: "Ungültiger Wert für Feld"
};

FieldValue Date(int y, int m, int d) {
  return FieldValue::DateTime(EncodeDate(y, m, d));
}

std::vector<SetCase> SetCases() {
  const TDateTime lunchOnLeapDay = EncodeDate(2020, 2, 29) + EncodeTime(13, 0, 0, 0);
  return {
      {"string from integer", ftString, FieldValue::Integer(42), FieldValue::Bytes("42")},
      {"string from boolean", ftString, FieldValue::Boolean(true), FieldValue::Bytes("True")},
      {"string from date", ftString, Date(2001, 12, 31), FieldValue::Bytes("2001-12-31")},
      {"string keeps bytes", ftString, FieldValue::Bytes("\xc3\xa4x"),
       FieldValue::Bytes("\xc3\xa4x")},
      {"smallint lowest", ftSmallint, FieldValue::Integer(-32768), FieldValue::Integer(-32768)},
      {"smallint too big", ftSmallint, FieldValue::Integer(32768), std::nullopt},
      {"smallint from text", ftSmallint, FieldValue::Bytes("12"), FieldValue::Integer(12)},
      {"integer from true", ftInteger, FieldValue::Boolean(true), FieldValue::Integer(-1)},
      {"integer from false", ftInteger, FieldValue::Boolean(false), FieldValue::Integer(0)},
      {"integer rounds half to even", ftInteger, FieldValue::Double(2.5), FieldValue::Integer(2)},
      {"integer rounds up", ftInteger, FieldValue::Double(3.5), FieldValue::Integer(4)},
      {"integer from text", ftInteger, FieldValue::Bytes("-17"), FieldValue::Integer(-17)},
      {"integer from non-number", ftInteger, FieldValue::Bytes("abc"), std::nullopt},
      {"integer overflow", ftInteger, FieldValue::Largeint(2147483648LL), std::nullopt},
      {"integer from currency", ftInteger, FieldValue::FromCurrency({30000}),
       FieldValue::Integer(3)},
      {"word highest", ftWord, FieldValue::Integer(65535), FieldValue::Integer(65535)},
      {"word negative", ftWord, FieldValue::Integer(-1), std::nullopt},
      {"autoinc", ftAutoInc, FieldValue::Largeint(7), FieldValue::Integer(7)},
      {"largeint exact", ftLargeint, FieldValue::Largeint(9007199254740993LL),
       FieldValue::Largeint(9007199254740993LL)},
      {"largeint from integer", ftLargeint, FieldValue::Integer(5), FieldValue::Largeint(5)},
      {"largeint lowest from text", ftLargeint, FieldValue::Bytes("-9223372036854775808"),
       FieldValue::Largeint(std::numeric_limits<std::int64_t>::min())},
      {"largeint from non-number", ftLargeint, FieldValue::Bytes("x"), std::nullopt},
      {"boolean from zero", ftBoolean, FieldValue::Integer(0), FieldValue::Boolean(false)},
      {"boolean from two", ftBoolean, FieldValue::Integer(2), FieldValue::Boolean(true)},
      {"boolean from text", ftBoolean, FieldValue::Bytes("True"), FieldValue::Boolean(true)},
      {"boolean from other text", ftBoolean, FieldValue::Bytes("maybe"), std::nullopt},
      {"float from integer", ftFloat, FieldValue::Integer(3), FieldValue::Double(3.0)},
      {"float from currency", ftFloat, FieldValue::FromCurrency({12345}),
       FieldValue::Double(1.2345)},
      {"float from text", ftFloat, FieldValue::Bytes("2.5"), FieldValue::Double(2.5)},
      {"float from non-number", ftFloat, FieldValue::Bytes("abc"), std::nullopt},
      {"float from overflowing text", ftFloat, FieldValue::Bytes("1e999"), std::nullopt},
      {"currency is a double", ftCurrency, FieldValue::Double(2.5), FieldValue::Double(2.5)},
      {"bcd from double", ftBCD, FieldValue::Double(1.23), FieldValue::FromCurrency({12300})},
      {"bcd from text", ftBCD, FieldValue::Bytes("12.3456"), FieldValue::FromCurrency({123456})},
      {"bcd from integer", ftBCD, FieldValue::Integer(2), FieldValue::FromCurrency({20000})},
      {"date drops the time", ftDate, FieldValue::DateTime(lunchOnLeapDay), Date(2020, 2, 29)},
      {"date from text", ftDate, FieldValue::Bytes("1970-05-01"), Date(1970, 5, 1)},
      {"date from foreign text", ftDate, FieldValue::Bytes("31.12.2001"), std::nullopt},
      {"date beyond year 9999", ftDate, FieldValue::Double(1e10), std::nullopt},
      {"time keeps the time of day", ftTime, FieldValue::DateTime(lunchOnLeapDay),
       FieldValue::DateTime(EncodeTime(13, 0, 0, 0))},
      {"time before 1899 counts forward", ftTime, FieldValue::DateTime(-1.25),
       FieldValue::DateTime(0.25)},
      {"datetime from text", ftDateTime, FieldValue::Bytes("2001-12-31 10:20:30"),
       FieldValue::DateTime(EncodeDate(2001, 12, 31) + EncodeTime(10, 20, 30, 0))},
      {"datetime not a number", ftDateTime, FieldValue::Double(NAN), std::nullopt},
      {"bytes", ftBytes, FieldValue::Bytes(std::string("\0\1", 2)),
       FieldValue::Bytes(std::string("\0\1", 2))},
      {"varbytes", ftVarBytes, FieldValue::Bytes("ab"), FieldValue::Bytes("ab")},
      {"blob from integer", ftBlob, FieldValue::Integer(5), FieldValue::Bytes("5")},
      {"blob empty stays present", ftBlob, FieldValue::Bytes(""), FieldValue::Bytes("")},
      {"memo", ftMemo, FieldValue::Bytes("line\r\n"), FieldValue::Bytes("line\r\n")},
      {"graphic", ftGraphic, FieldValue::Bytes("BM.."), FieldValue::Bytes("BM..")},
      {"formatted memo", ftFmtMemo, FieldValue::Bytes("{\\rtf}"), FieldValue::Bytes("{\\rtf}")},
      {"ole", ftParadoxOle, FieldValue::Bytes("ole"), FieldValue::Bytes("ole")},
      {"typed binary", ftTypedBinary, FieldValue::Bytes("tb"), FieldValue::Bytes("tb")},
  };
}

TEST_F(FieldConversionTest, SetFromFieldValueConvertsToTheClassKind) {
  for (const SetCase& c : SetCases()) {
    SCOPED_TRACE(c.name);
    TField& f = Field(c.type);
    f.Clear();
    if (c.stored) {
      f.SetValue(c.input);
      EXPECT_EQ(Stored(c.type), *c.stored);
      EXPECT_EQ(f.Value(), *c.stored);
    } else {
      try {
        f.SetValue(c.input);
        ADD_FAILURE() << "accepted";
      } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Ungültiger Wert für Feld '" + f.FieldName() + "'");
      }
      EXPECT_TRUE(f.IsNull());
    }
  }
}

TEST_F(FieldConversionTest, ValueViewGivesWhatValueGives) {
  for (bool peekable : {true, false}) {
    ds.work.peekable = peekable;
    for (const SetCase& c : SetCases()) {
      SCOPED_TRACE(std::string(c.name) + (peekable ? " (peek)" : " (copy)"));
      TField& f = Field(c.type);
      f.Clear();
      if (c.stored) f.SetValue(c.input);
      FieldValue scratch;
      EXPECT_EQ(f.ValueView(scratch), f.Value());
    }
  }
}

TEST_F(FieldConversionTest, ValueViewConvertsForeignKindsAndSharesOwnOnes) {
  auto slot = [&](TFieldType t) -> FieldValue& {
    return ds.work.values[static_cast<std::size_t>(Field(t).FieldNo() - 1)];
  };
  FieldValue scratch;
  slot(ftInteger) = FieldValue::Integer(7);
  EXPECT_EQ(&Field(ftInteger).ValueView(scratch), &slot(ftInteger));
  slot(ftSmallint) = FieldValue::Integer(70000);  // out of the class's range: not its own
  EXPECT_THROW(Field(ftSmallint).ValueView(scratch), EConvertError);
  slot(ftDate) = FieldValue::DateTime(EncodeDate(2000, 1, 1) + 0.5);
  EXPECT_EQ(Field(ftDate).ValueView(scratch), Date(2000, 1, 1));
  slot(ftDate) = FieldValue::DateTime(EncodeDate(2000, 1, 1));
  EXPECT_EQ(&Field(ftDate).ValueView(scratch), &slot(ftDate));
  slot(ftDate) = FieldValue::DateTime(-1.25);  // 29 December 1899, 06:00
  EXPECT_EQ(Field(ftDate).ValueView(scratch), Date(1899, 12, 29));
  slot(ftDate) = FieldValue::DateTime(1e7);  // a whole day, but after year 9999
  EXPECT_THROW(Field(ftDate).ValueView(scratch), EConvertError);
  slot(ftFloat) = FieldValue::Bytes("1.5");
  EXPECT_EQ(Field(ftFloat).ValueView(scratch), FieldValue::Double(1.5));
  EXPECT_EQ(Field(ftMemo).ValueView(scratch), FieldValue::Bytes(""));  // null blob
  slot(ftMemo) = FieldValue::Bytes("text");
  EXPECT_EQ(&Field(ftMemo).ValueView(scratch), &slot(ftMemo));
  EXPECT_TRUE(Field(ftString).ValueView(scratch).IsNull());
}

TEST_F(FieldConversionTest, NullAndEmptyClearEveryClass) {
  for (TFieldType t : kTypes) {
    SCOPED_TRACE(t);
    TField& f = Field(t);
    f.SetValue(FieldValue::Integer(1));
    ASSERT_FALSE(f.IsNull());
    f.SetValue(FieldValue::Null());
    EXPECT_TRUE(f.IsNull());
    EXPECT_TRUE(Stored(t).IsNull());
    f.SetValue(FieldValue::Integer(1));
    f.SetValue(FieldValue());
    EXPECT_TRUE(f.IsNull());
  }
}

TEST_F(FieldConversionTest, InvalidValueMessageNamesTheDisplayName) {
  TField& f = Field(ftInteger);
  f.SetDisplayLabel("Anzahl");
  try {
    f.SetValue(FieldValue::Bytes("viele"));
    FAIL() << "accepted";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Ungültiger Wert für Feld 'Anzahl'");
  }
}

TEST_F(FieldConversionTest, FailuresOfTheStoreAreNotTurnedIntoInvalidValue) {
  ds.work.beforeWrite = [](int) { throw EConvertError("store refused"); };
  for (TFieldType t : {ftInteger, ftMemo}) {
    try {
      Field(t).SetValue(FieldValue::Integer(1));
      FAIL() << "accepted";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), "store refused");
    }
  }
}

TEST_F(FieldConversionTest, LargeintHandsOverA64BitValue) {
  TField& f = Field(ftLargeint);
  f.SetValue(FieldValue::Largeint(-9007199254740993LL));
  FieldValue v = f.Value();
  EXPECT_EQ(v.kind(), FieldValue::Kind::Largeint);
  EXPECT_EQ(v.AsLargeint(), -9007199254740993LL);
  EXPECT_EQ(f.AsLargeint(), -9007199254740993LL);
  EXPECT_EQ(f.AsString(), "-9007199254740993");
}

TEST_F(FieldConversionTest, ValuesHandedOverHaveTheClassKind) {
  struct {
    TFieldType type;
    FieldValue::Kind kind;
  } const kinds[] = {
      {ftString, FieldValue::Kind::Bytes},      {ftSmallint, FieldValue::Kind::Integer},
      {ftWord, FieldValue::Kind::Integer},      {ftAutoInc, FieldValue::Kind::Integer},
      {ftLargeint, FieldValue::Kind::Largeint}, {ftBoolean, FieldValue::Kind::Boolean},
      {ftFloat, FieldValue::Kind::Double},      {ftCurrency, FieldValue::Kind::Double},
      {ftBCD, FieldValue::Kind::Currency},      {ftDate, FieldValue::Kind::DateTime},
      {ftTime, FieldValue::Kind::DateTime},     {ftDateTime, FieldValue::Kind::DateTime},
      {ftBytes, FieldValue::Kind::Bytes},       {ftMemo, FieldValue::Kind::Bytes},
  };
  for (const auto& k : kinds) {
    SCOPED_TRACE(k.type);
    // The record holds an integer; the field converts it on the way out.
    ds.work.values[static_cast<std::size_t>(Field(k.type).FieldNo() - 1)] = FieldValue::Integer(1);
    EXPECT_EQ(Field(k.type).Value().kind(), k.kind);
  }
}

TEST_F(FieldConversionTest, NullBlobsHandOverTheEmptyStringButAreNull) {
  for (TFieldType t : {ftBlob, ftMemo, ftGraphic, ftFmtMemo}) {
    SCOPED_TRACE(t);
    EXPECT_TRUE(Field(t).IsNull());
    EXPECT_EQ(Field(t).Value(), FieldValue::Bytes(""));
  }
  EXPECT_TRUE(Field(ftString).Value().IsNull());
  EXPECT_TRUE(Field(ftInteger).Value().IsNull());
}

TEST_F(FieldConversionTest, TypedAccessReadsNullAsZeroEmptyOrFalse) {
  EXPECT_EQ(Field(ftInteger).AsInteger(), 0);
  EXPECT_EQ(Field(ftString).AsString(), "");
  EXPECT_FALSE(Field(ftBoolean).AsBoolean());
  EXPECT_EQ(Field(ftFloat).AsFloat(), 0.0);
  EXPECT_EQ(Field(ftDate).AsDateTime(), 0.0);
  EXPECT_EQ(Field(ftBCD).AsCurrency(), Currency{});
}

TEST_F(FieldConversionTest, TextFollowsTheDecimalSeparator) {
  DecimalSeparatorScope comma(',');
  Field(ftFloat).SetAsString("2,5");
  EXPECT_EQ(Field(ftFloat).AsFloat(), 2.5);
  Field(ftString).SetAsFloat(0.25);
  EXPECT_EQ(Field(ftString).AsString(), "0,25");
}

TEST_F(FieldConversionTest, GridTextOfBlobsNamesTheirKind) {
  EXPECT_EQ(Field(ftMemo).DisplayText(), "(Memo)");
  Field(ftMemo).SetAsString("x");
  EXPECT_EQ(Field(ftMemo).DisplayText(), "(MEMO)");
  EXPECT_EQ(Field(ftGraphic).DisplayText(), "(Graphic)");
  EXPECT_EQ(Field(ftBlob).DisplayText(), "(Blob)");
  Field(ftDate).SetValue(Date(1999, 1, 2));
  EXPECT_EQ(Field(ftDate).DisplayText(), "1999-01-02");
}

TEST(FieldUnboundTest, AFieldOfAClosedDatasetReadsNullAndRefusesWrites) {
  DatasetFake keep{{{"A", ftInteger}}};
  keep.AddRow({FieldValue::Integer(1)});
  auto& persistent = keep.AddField(std::make_unique<TIntegerField>());
  persistent.SetFieldName("A");
  EXPECT_TRUE(persistent.Value().IsNull());
  EXPECT_EQ(persistent.AsInteger(), 0);
  try {
    persistent.SetAsInteger(1);
    FAIL() << "accepted";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Operation bei geschlossener Datenmenge nicht möglich");
  }
}

}  // namespace
}  // namespace tabulix::test
