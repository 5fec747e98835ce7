// Tables written by the tests: record selection, text, numbers, dates, memos in every memo
// layout, Visual FoxPro and dBase 7 binary types, code page choice.
#include <gtest/gtest.h>

#include <filesystem>

#include "framework/DateTime.h"
#include "framework/Exceptions.h"
#include "source/dbase/DbaseReader.h"
#include "support/TestData.h"
#include "tests/source/DbaseTestTables.h"

namespace tabulix::source {
namespace {

namespace fs = std::filesystem;
using namespace dbase_test;

// A fresh folder per test, so that companion files of one test never meet another's table.
std::string Folder() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string dir = test::TempDir() + "/reader-" + info->name();
  fs::create_directories(dir);
  return dir;
}

std::vector<FieldValue> Record(TableReader& table, std::int64_t n) {
  std::vector<FieldValue> values;
  table.ReadRecord(n, values);
  return values;
}

FieldValue Text(const std::string& s) {
  return FieldValue::Bytes(s);
}

TEST(DbaseReader, EmptyTableHasNoRecords) {
  std::string path = DbfWriter(0x03).Field({"NAME", 'C', 10}).Write(Folder() + "/empty.dbf");
  auto table = OpenDbaseTable(path, {});
  ASSERT_EQ(table->Fields().size(), 1u);
  EXPECT_EQ(table->RecordCount(), 0);
  std::vector<FieldValue> values;
  EXPECT_THROW(table->ReadRecord(0, values), Exception);
}

TEST(DbaseReader, DeletedRecordsAreSkippedAndNotCounted) {
  DbfWriter w(0x03);
  w.Field({"ID", 'N', 3});
  for (int i = 0; i < 6; ++i) w.Row({std::to_string(i)}, i == 0 || i == 2 || i == 3 || i == 5);
  auto table = OpenDbaseTable(w.Write(Folder() + "/deleted.dbf"), {});
  ASSERT_EQ(table->RecordCount(), 2);
  EXPECT_EQ(Record(*table, 0)[0], FieldValue::Integer(1));
  EXPECT_EQ(Record(*table, 1)[0], FieldValue::Integer(4));
  std::vector<FieldValue> values;
  EXPECT_THROW(table->ReadRecord(2, values), Exception);
  EXPECT_THROW(table->ReadRecord(-1, values), Exception);
}

TEST(DbaseReader, TableOfDeletedRecordsOnlyIsEmpty) {
  DbfWriter w(0x03);
  w.Field({"ID", 'N', 3}).Row({"1"}, true).Row({"2"}, true);
  EXPECT_EQ(OpenDbaseTable(w.Write(Folder() + "/gone.dbf"), {})->RecordCount(), 0);
}

TEST(DbaseReader, RecordsReadInAnyOrder) {
  DbfWriter w(0x03);
  w.Field({"ID", 'N', 6}).Field({"PAD", 'C', 50});
  std::vector<int> live;
  for (int i = 0; i < 3000; ++i) {
    bool deleted = i % 7 == 3 || (i >= 1000 && i < 1100);
    w.Row({std::to_string(i), "x"}, deleted);
    if (!deleted) live.push_back(i);
  }
  auto table = OpenDbaseTable(w.Write(Folder() + "/many.dbf"), {});
  ASSERT_EQ(table->RecordCount(), static_cast<std::int64_t>(live.size()));
  // In order (served from read-ahead windows), backwards, and jumping between windows.
  for (std::int64_t n = 0; n < table->RecordCount(); ++n) {
    ASSERT_EQ(Record(*table, n)[0], FieldValue::Integer(live[static_cast<std::size_t>(n)])) << n;
  }
  for (std::int64_t n = table->RecordCount() - 1; n >= 0; n -= 13) {
    ASSERT_EQ(Record(*table, n)[0], FieldValue::Integer(live[static_cast<std::size_t>(n)])) << n;
  }
  for (std::int64_t n : {5, 2000, 6, 7, 1500, 8, 0, 2484}) {
    ASSERT_EQ(Record(*table, n)[0], FieldValue::Integer(live[static_cast<std::size_t>(n)])) << n;
  }
}

TEST(DbaseReader, CharacterValuesLoseTrailingBlanksOnly) {
  DbfWriter w(0x03);
  w.Field({"S", 'C', 8});
  w.Row({"  lead"}).Row({"tail  "}).Row({""}).Row({std::string("ab\0\0\0\0\0\0", 8)});
  auto table = OpenDbaseTable(w.Write(Folder() + "/text.dbf"), {});
  EXPECT_EQ(Record(*table, 0)[0], Text("  lead"));
  EXPECT_EQ(Record(*table, 1)[0], Text("tail"));
  EXPECT_TRUE(Record(*table, 2)[0].IsNull());
  EXPECT_EQ(Record(*table, 3)[0], Text("ab"));
  EXPECT_EQ(table->Fields()[0].type, ftString);
  EXPECT_EQ(table->Fields()[0].size, 8);
}

TEST(DbaseReader, LongCharacterFieldKeepsItsLengthHighByteInTheDecimals) {
  DbfWriter w(0x03);
  w.Field({"LONG", 'C', 300}).Field({"N", 'N', 2});
  w.Row({std::string(299, 'a') + "b", "7"});
  auto table = OpenDbaseTable(w.Write(Folder() + "/long.dbf"), {});
  EXPECT_EQ(table->Fields()[0].size, 300);
  auto values = Record(*table, 0);
  EXPECT_EQ(values[0], Text(std::string(299, 'a') + "b"));
  EXPECT_EQ(values[1], FieldValue::Integer(7));
}

struct NumericCase {
  int width;
  int decimals;
  TFieldType type;
  std::string text;
  FieldValue value;
};

class DbaseNumericField : public ::testing::TestWithParam<NumericCase> {};

TEST_P(DbaseNumericField, TypeByWidthAndValueByText) {
  const NumericCase& c = GetParam();
  for (char letter : {'N', 'F'}) {
    DbfWriter w(0x8B);
    w.Field({"X", letter, c.width, c.decimals});
    std::string text = c.text;
    if (static_cast<int>(text.size()) < c.width) {
      text.insert(0, static_cast<std::size_t>(c.width) - text.size(), ' ');
    }
    w.Row({text});
    auto table = OpenDbaseTable(w.Write(Folder() + "/num.dbf"), {});
    EXPECT_EQ(table->Fields()[0].type, c.type) << letter << c.width << "," << c.decimals;
    EXPECT_EQ(Record(*table, 0)[0], c.value) << letter << " '" << c.text << "'";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Widths, DbaseNumericField,
    ::testing::Values(
        NumericCase{1, 0, ftSmallint, "7", FieldValue::Integer(7)},
        NumericCase{4, 0, ftSmallint, "-999", FieldValue::Integer(-999)},
        NumericCase{5, 0, ftInteger, "99999", FieldValue::Integer(99999)},
        NumericCase{9, 0, ftInteger, "-12345678", FieldValue::Integer(-12345678)},
        NumericCase{10, 0, ftLargeint, "2147483648", FieldValue::Largeint(2147483648LL)},
        NumericCase{18, 0, ftLargeint, "123456789012345678",
                    FieldValue::Largeint(123456789012345678LL)},
        NumericCase{19, 0, ftFloat, "1234567890123456789",
                    FieldValue::Double(1234567890123456789.0)},
        NumericCase{8, 2, ftFloat, "-12.50", FieldValue::Double(-12.5)},
        NumericCase{3, 1, ftFloat, ".5", FieldValue::Double(0.5)},
        NumericCase{20, 18, ftFloat, "1.234567890123460000", FieldValue::Double(1.23456789012346)},
        // Blank, overflow stars and other text that is no number read as null.
        NumericCase{5, 0, ftInteger, "", FieldValue::Null()},
        NumericCase{5, 0, ftInteger, "*****", FieldValue::Null()},
        NumericCase{5, 2, ftFloat, "**.**", FieldValue::Null()},
        NumericCase{6, 2, ftFloat, "1,50", FieldValue::Null()},
        NumericCase{6, 2, ftFloat, "inf", FieldValue::Null()},
        NumericCase{6, 0, ftInteger, "12 34", FieldValue::Null()},
        NumericCase{6, 0, ftInteger, "1.5", FieldValue::Null()},
        // A whole number written with a point in a field without decimals.
        NumericCase{6, 0, ftInteger, "12.0", FieldValue::Integer(12)},
        NumericCase{6, 0, ftInteger, "+42", FieldValue::Integer(42)},
        // Beyond the range the width promises.
        NumericCase{4, 0, ftSmallint, "9e9", FieldValue::Null()}));

TEST(DbaseReader, DatesAndLogicals) {
  DbfWriter w(0x03);
  w.Field({"D", 'D', 8}).Field({"L", 'L', 1});
  w.Row({"20240229", "T"})
      .Row({"", "?"})
      .Row({"00000000", "n"})
      .Row({"20230229", "y"})
      .Row({"19700101", "x"});
  auto table = OpenDbaseTable(w.Write(Folder() + "/dates.dbf"), {});
  EXPECT_EQ(table->Fields()[0].type, ftDate);
  EXPECT_EQ(table->Fields()[1].type, ftBoolean);
  EXPECT_EQ(Record(*table, 0)[0], FieldValue::DateTime(EncodeDate(2024, 2, 29)));
  EXPECT_EQ(Record(*table, 0)[1], FieldValue::Boolean(true));
  EXPECT_TRUE(Record(*table, 1)[0].IsNull());
  EXPECT_TRUE(Record(*table, 1)[1].IsNull());
  EXPECT_TRUE(Record(*table, 2)[0].IsNull());
  EXPECT_EQ(Record(*table, 2)[1], FieldValue::Boolean(false));
  EXPECT_TRUE(Record(*table, 3)[0].IsNull());  // no 29 February in 2023
  EXPECT_EQ(Record(*table, 3)[1], FieldValue::Boolean(true));
  EXPECT_EQ(Record(*table, 4)[0], FieldValue::DateTime(EncodeDate(1970, 1, 1)));
  EXPECT_TRUE(Record(*table, 4)[1].IsNull());
}

TEST(DbaseReader, DbaseIIIMemoRunsToItsTerminator) {
  std::string dir = Folder();
  DbtIIIWriter memo;
  std::uint32_t first = memo.Add("caf\x82 au lait\r\nsecond line");
  std::uint32_t big = memo.Add(std::string(700, 'm'));  // over a block boundary
  DbfWriter w(0x83);
  w.Field({"ID", 'N', 2}).Field({"NOTE", 'M', 10});
  w.Row({"1", Pointer10(first)}).Row({"2", Pointer10(big)}).Row({"3", ""});
  WriteBytes(dir + "/memo3.dbt", memo.Bytes());
  auto table = OpenDbaseTable(w.Write(dir + "/memo3.dbf"), {});
  EXPECT_EQ(table->Fields()[1].type, ftMemo);
  EXPECT_EQ(Record(*table, 0)[1], Text("caf\xC3\xA9 au lait\r\nsecond line"));
  EXPECT_EQ(Record(*table, 1)[1], Text(std::string(700, 'm')));
  EXPECT_TRUE(Record(*table, 2)[1].IsNull());
}

TEST(DbaseReader, DbaseIVMemoTakesTheLengthFromItsBlock) {
  std::string dir = Folder();
  DbtIVWriter memo(1024);
  std::uint32_t text = memo.Add("Fifth memo");
  std::string image = std::string("\x89PNG\x1A\x0A\x00\x1F", 8) + std::string(1500, '\x1A');
  std::uint32_t blob = memo.Add(image);
  DbfWriter w(0x8B);
  w.Field({"NOTE", 'M', 10}).Field({"PIC", 'B', 10}).Field({"OLE", 'G', 10});
  w.Row({Pointer10(text), Pointer10(blob), "0000000000"});
  WriteBytes(dir + "/memo4.DBT", memo.Bytes());  // found whatever its letter case
  auto table = OpenDbaseTable(w.Write(dir + "/memo4.dbf"), {});
  EXPECT_EQ(table->Fields()[0].type, ftMemo);
  EXPECT_EQ(table->Fields()[1].type, ftBlob);
  EXPECT_EQ(table->Fields()[2].type, ftDBaseOle);
  auto values = Record(*table, 0);
  EXPECT_EQ(values[0], Text("Fifth memo"));
  EXPECT_EQ(values[1], FieldValue::Bytes(image));
  EXPECT_TRUE(values[2].IsNull());
}

TEST(DbaseReader, FoxProMemoWithTextPointers) {
  std::string dir = Folder();
  FptWriter memo(512);
  std::uint32_t text = memo.Add("Zeile 1\r\nZeile 2 \x84");
  std::uint32_t ole = memo.Add(std::string("\x01\x02\x00\x03", 4), 2);
  DbfWriter w(0xF5);
  w.LanguageDriver(0x02);  // code page 850
  w.Field({"NOTE", 'M', 10}).Field({"OBJ", 'G', 10}).Field({"PIC", 'P', 10});
  w.Row({Pointer10(text), Pointer10(ole), ""});
  WriteBytes(dir + "/fox.fpt", memo.Bytes());
  auto table = OpenDbaseTable(w.Write(dir + "/fox.dbf"), {});
  EXPECT_EQ(table->Encoding(), "CP850");
  EXPECT_EQ(table->Fields()[2].type, ftGraphic);
  auto values = Record(*table, 0);
  EXPECT_EQ(values[0], Text("Zeile 1\r\nZeile 2 \xC3\xA4"));
  EXPECT_EQ(values[1], FieldValue::Bytes(std::string("\x01\x02\x00\x03", 4)));
  EXPECT_TRUE(values[2].IsNull());
}

// Visual FoxPro with every binary type, nullable fields and varchar/varbinary lengths in
// _NullFlags. Bits: V varlength 0, V null 1, Q varlength 2, Q null 3, I null 4, M null 5.
TEST(DbaseReader, VisualFoxProTypesNullsAndVarLengths) {
  std::string dir = Folder();
  FptWriter memo;
  std::uint32_t text = memo.Add("memo text");
  std::uint32_t binary = memo.Add(std::string("\x00\xFF\x1A", 3));
  DbfWriter w(0x32);
  w.LanguageDriver(0x03);
  w.Field({"ID", 'I', 4, 0, 0x0C})
      .Field({"V", 'V', 10, 0, 0x02})
      .Field({"Q", 'Q', 6, 0, 0x06})
      .Field({"N", 'I', 4, 0, 0x02})
      .Field({"M", 'M', 4, 0, 0x02})
      .Field({"MB", 'M', 4, 0, 0x04})
      .Field({"Y", 'Y', 8, 4})
      .Field({"T", 'T', 8})
      .Field({"B", 'B', 8, 2})
      .Field({"W", 'W', 4})
      .Field({"_NullFlags", '0', 1, 0, 0x05});
  auto row = [&](std::uint32_t id, std::string v, std::string q, std::string m,
                 std::uint8_t flags) {
    return std::vector<std::string>{Le32(id),
                                    v,
                                    q,
                                    Le32(static_cast<std::uint32_t>(-5)),
                                    m,
                                    Le32(binary),
                                    Le64(215000),
                                    Le32(2453846) + Le32(61984999),
                                    Hex("66 66 66 66 66 66 02 40"),
                                    Le32(0),
                                    std::string(1, static_cast<char>(flags))};
  };
  // Record 1: V "abc" (length 3 in the last byte), Q full 6 bytes, everything set.
  w.Row(row(1, std::string("abc\0\0\0\0\0\0\x03", 10), "QQQQQQ", Le32(text), 0x01));
  // Record 2: V null, Q of 2 bytes, I and M null.
  w.Row(row(2, std::string(10, ' '), std::string("\x01\x02\0\0\0\x02", 6), Le32(0),
            0x02 | 0x04 | 0x10 | 0x20));
  // Record 3: V full ten characters, Q null.
  w.Row(row(3, "0123456789", std::string(6, '\0'), Le32(0), 0x08));
  WriteBytes(dir + "/vfp.fpt", memo.Bytes());
  auto table = OpenDbaseTable(w.Write(dir + "/vfp.dbf"), {});

  const auto& f = table->Fields();
  ASSERT_EQ(f.size(), 10u);  // _NullFlags is no field
  std::vector<TFieldType> types;
  for (const auto& d : f) types.push_back(d.type);
  // An I field stays an integer field even when flagged auto-incrementing.
  EXPECT_EQ(types, (std::vector<TFieldType>{ftInteger, ftString, ftBlob, ftInteger, ftMemo, ftBlob,
                                            ftCurrency, ftDateTime, ftFloat, ftBlob}));

  auto r1 = Record(*table, 0);
  EXPECT_EQ(r1[0], FieldValue::Integer(1));
  EXPECT_EQ(r1[1], Text("abc"));
  EXPECT_EQ(r1[2], FieldValue::Bytes("QQQQQQ"));
  EXPECT_EQ(r1[3], FieldValue::Integer(-5));
  EXPECT_EQ(r1[4], Text("memo text"));
  EXPECT_EQ(r1[5], FieldValue::Bytes(std::string("\x00\xFF\x1A", 3)));
  EXPECT_EQ(r1[6], FieldValue::Double(21.5));
  TDateTime expected = ComposeDateTime(EncodeDate(2006, 4, 20), EncodeTime(17, 13, 4, 999));
  ASSERT_EQ(r1[7].kind(), FieldValue::Kind::DateTime);
  EXPECT_NEAR(r1[7].AsDateTime(), expected, 1e-9);
  EXPECT_EQ(r1[8], FieldValue::Double(2.3));
  EXPECT_TRUE(r1[9].IsNull());

  auto r2 = Record(*table, 1);
  EXPECT_TRUE(r2[1].IsNull());
  EXPECT_EQ(r2[2], FieldValue::Bytes("\x01\x02"));
  EXPECT_TRUE(r2[3].IsNull());
  EXPECT_TRUE(r2[4].IsNull());

  auto r3 = Record(*table, 2);
  EXPECT_EQ(r3[1], Text("0123456789"));
  EXPECT_TRUE(r3[2].IsNull());
  EXPECT_EQ(r3[3], FieldValue::Integer(-5));
  EXPECT_TRUE(r3[4].IsNull());  // block 0: no memo
}

TEST(DbaseReader, VisualFoxProTimeOnlyAndEmptyDateTime) {
  DbfWriter w(0x30);
  w.Field({"T", 'T', 8});
  w.Row({Le32(2415019) + Le32(3600000)}).Row({Le64(0)});
  auto table = OpenDbaseTable(w.Write(Folder() + "/time.dbf"), {});
  EXPECT_EQ(Record(*table, 0)[0], FieldValue::DateTime(EncodeTime(1, 0, 0, 0)));
  EXPECT_TRUE(Record(*table, 1)[0].IsNull());
}

// Byte patterns and their values as dBase 7 writes them.
TEST(DbaseReader, Dbase7BinaryTypes) {
  DbfWriter w(0x04);
  w.DriverName("DB866RU0");
  w.Field({"I", 'I', 4}).Field({"A", '+', 4}).Field({"O", 'O', 8}).Field({"TS", '@', 8});
  w.Row({Hex("80 00 00 01"), Hex("80 00 00 0A"), Hex("3F 97 00 51 EB 85 1E B7"),
         Hex("42 CC 41 8B A9 9A 00 00")});
  w.Row({Hex("7F FF FF FF"), Hex("FF FF FF FF"), Hex("C0 45 D3 33 33 33 33 33"),
         Hex("42 C9 D1 04 5F 8E 64 00")});
  w.Row({Hex("00 00 00 01"), Hex("80 4C 4B 40"), Hex("80 00 00 00 00 00 00 00"),
         Hex("42 CC B2 0E 03 40 DF 00")});
  w.Row({std::string(4, '\0'), std::string(4, '\0'), std::string(8, '\0'), std::string(8, '\0')});
  auto table = OpenDbaseTable(w.Write(Folder() + "/db7.dbf"), {});
  EXPECT_EQ(table->Encoding(), "CP866");
  const auto& f = table->Fields();
  EXPECT_EQ(f[0].type, ftInteger);
  EXPECT_EQ(f[1].type, ftAutoInc);
  EXPECT_EQ(f[2].type, ftFloat);
  EXPECT_EQ(f[3].type, ftDateTime);

  auto r1 = Record(*table, 0);
  EXPECT_EQ(r1[0], FieldValue::Integer(1));
  EXPECT_EQ(r1[1], FieldValue::Integer(10));
  EXPECT_EQ(r1[2], FieldValue::Double(-199.99));
  EXPECT_EQ(r1[3], FieldValue::DateTime(EncodeDate(1970, 1, 1)));
  auto r2 = Record(*table, 1);
  EXPECT_EQ(r2[0], FieldValue::Integer(-1));
  EXPECT_EQ(r2[1], FieldValue::Integer(2147483647));
  EXPECT_EQ(r2[2], FieldValue::Double(43.65));
  EXPECT_EQ(DateTimeToStr(r2[3].AsDateTime()), "1800-01-01 01:01:01");
  auto r3 = Record(*table, 2);
  EXPECT_EQ(r3[0], FieldValue::Integer(-2147483647));
  EXPECT_EQ(r3[1], FieldValue::Integer(5000000));
  EXPECT_EQ(r3[2], FieldValue::Double(0.0));
  EXPECT_EQ(DateTimeToStr(r3[3].AsDateTime()), "2000-08-16 17:21:41.310");
  auto r4 = Record(*table, 3);
  for (const auto& v : r4) EXPECT_TRUE(v.IsNull());
}

TEST(DbaseReader, CodePageFromTheLanguageDriver) {
  struct Case {
    std::uint8_t driver;
    std::string stored;
    std::string utf8;
    std::string encoding;
  };
  for (const Case& c :
       {Case{0x65, "\x8F\xE0\xA8", "\xD0\x9F\xD1\x80\xD0\xB8", "CP866"},
        Case{0xC8, "\x9A", "\xC5\xA1", "CP1250"},
        Case{0x69, "\x86\x92", "\xC4\x85\xC5\x82", "CP620"},
        Case{0x68, "\x87\x9E", "\xC4\x8D\xC5\x98", "CP895"},
        Case{0x00, "\x82", "\xC3\xA9", "CP437"}, Case{0xF0, "\x82", "\xC3\xA9", "CP437"}}) {
    DbfWriter w(0x03);
    w.LanguageDriver(c.driver).Field({"S", 'C', 4}).Row({c.stored});
    auto table = OpenDbaseTable(w.Write(Folder() + "/cp.dbf"), {});
    EXPECT_EQ(table->Encoding(), c.encoding) << int{c.driver};
    EXPECT_EQ(Record(*table, 0)[0], Text(c.utf8)) << int{c.driver};
  }
}

TEST(DbaseReader, CpgFileBesideTheTableNamesTheCodePage) {
  std::string dir = Folder();
  DbfWriter w(0x03);
  w.LanguageDriver(0x03).Field({"NAME", 'C', 3}).Field({"\xCF\xCE\xCB\xC5", 'C', 3});
  w.Row({"\xCD\xC8\xC8"});
  std::string path = w.Write(dir + "/gis.dbf");
  WriteBytes(dir + "/GIS.CPG", "ANSI 1251\r\n");
  auto table = OpenDbaseTable(path, {});
  EXPECT_EQ(table->Encoding(), "CP1251");
  EXPECT_EQ(table->Fields()[1].name, "\xD0\x9F\xD0\x9E\xD0\x9B\xD0\x95");  // field names too
  EXPECT_EQ(Record(*table, 0)[0], Text("\xD0\x9D\xD0\x98\xD0\x98"));
  // The caller's choice beats the .cpg file.
  EXPECT_EQ(OpenDbaseTable(path, {"CP1252"})->Encoding(), "CP1252");
  // An empty .cpg says nothing: the language driver counts again.
  WriteBytes(dir + "/GIS.CPG", " \n");
  EXPECT_EQ(OpenDbaseTable(path, {})->Encoding(), "CP1252");
}

TEST(DbaseReader, TableWithoutFields) {
  std::string bytes = DbfWriter(0x03).Bytes();
  bytes.insert(bytes.size() - 1, " ");  // one record of just the delete flag
  bytes[4] = 1;
  WriteBytes(Folder() + "/nofields.dbf", bytes);
  auto table = OpenDbaseTable(Folder() + "/nofields.dbf", {});
  EXPECT_TRUE(table->Fields().empty());
  EXPECT_EQ(table->RecordCount(), 1);
  EXPECT_TRUE(Record(*table, 0).empty());
}

}  // namespace
}  // namespace tabulix::source
