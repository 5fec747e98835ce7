// Values the readers cannot take as stored: grouped numbers, blank and damaged values with
// their warnings, Paradox BCD and date limits, UTF-8 text found or suspected, tables without
// their memo file, fields read as raw bytes, and how records are counted.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "framework/Exceptions.h"
#include "source/TableBDE.h"
#include "source/dbase/DbaseReader.h"
#include "source/paradox/ParadoxReader.h"
#include "support/TestData.h"
#include "tests/source/DbaseTestTables.h"
#include "tests/source/ParadoxTestTable.h"

namespace tabulix::source {
namespace {

namespace fs = std::filesystem;
namespace px = test::paradox;
using dbase_test::DbfField;
using dbase_test::DbfWriter;

std::string Folder() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->name());
  for (char& c : name) c = c == '/' ? '-' : c;
  std::string dir = test::TempDir() + "/warnings-" + name;
  fs::create_directories(dir);
  return dir;
}

std::vector<std::vector<FieldValue>> ReadAll(TableReader& table) {
  std::vector<std::vector<FieldValue>> rows(static_cast<std::size_t>(table.RecordCount()));
  for (std::size_t n = 0; n < rows.size(); ++n) table.ReadRecord(std::int64_t(n), rows[n]);
  return rows;
}

std::string Trimmed(std::string s) {
  s.erase(0, s.find_first_not_of(' '));
  s.erase(s.find_last_not_of(' ') + 1);
  return s;
}

struct DbaseValueCase {
  const char* label;
  std::uint8_t version;
  char type;
  int length;
  int decimals;
  std::string stored;  // in record 2, after a blank record 1
  FieldValue value;
  std::optional<ValueProblem> problem{};
};

class DbaseValueTest : public ::testing::TestWithParam<DbaseValueCase> {};

TEST_P(DbaseValueTest, ReadsOrWarns) {
  const DbaseValueCase& c = GetParam();
  DbfWriter w(c.version);
  w.LanguageDriver(0x03).Field({"F", c.type, c.length, c.decimals});
  if (c.type == 'V') w.Field({"_NullFlags", '0', 1, 0, 0x05});
  w.Row({}).Row({c.stored, "\x01"});  // the flag byte marks a V value shorter than its field
  auto table = OpenDbaseTable(w.Write(Folder() + "/t.dbf"), {});
  EXPECT_EQ(ReadAll(*table)[1][0], c.value);
  std::vector<ValueWarning> list = table->Warnings().List();
  ASSERT_EQ(list.size(), c.problem ? 1u : 0u);
  if (c.problem) {
    EXPECT_EQ(list[0].problem, *c.problem);
    EXPECT_EQ(list[0].field, 0u);
    EXPECT_EQ(list[0].count, 1);
    EXPECT_EQ(list[0].firstRecord, 2);
    EXPECT_EQ(list[0].firstStored, Trimmed(c.stored));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Stored, DbaseValueTest,
    ::testing::Values(
        DbaseValueCase{"GroupedDecimal", 0x03, 'N', 10, 2, "  1,200.00", FieldValue::Double(1200)},
        DbaseValueCase{"GroupedWhole", 0x03, 'N', 8, 0, " -12,345", FieldValue::Integer(-12345)},
        DbaseValueCase{"GroupedMillions", 0x03, 'N', 12, 1, " 1,234,567.5",
                       FieldValue::Double(1234567.5)},
        DbaseValueCase{"BadGroups", 0x03, 'N', 10, 2, "  12,34.00", FieldValue::Null(),
                       ValueProblem::NotANumber},
        DbaseValueCase{"DecimalComma", 0x03, 'N', 10, 2, "  1.200,00", FieldValue::Null(),
                       ValueProblem::NotANumber},
        DbaseValueCase{"OverflowStars", 0x03, 'F', 6, 2, "******", FieldValue::Null(),
                       ValueProblem::NotANumber},
        DbaseValueCase{"LonePointIsBlank", 0x03, 'N', 6, 2, "   .  ", FieldValue::Null()},
        DbaseValueCase{"TooLargeForSmallint", 0x03, 'N', 4, 0, "1e10", FieldValue::Null(),
                       ValueProblem::NumberTooLarge},
        DbaseValueCase{"NoSuchDay", 0x03, 'D', 8, 0, "20230230", FieldValue::Null(),
                       ValueProblem::InvalidDate},
        DbaseValueCase{"DashedDate", 0x03, 'D', 8, 0, "2023-1-1", FieldValue::Null(),
                       ValueProblem::InvalidDate},
        DbaseValueCase{"ZeroDateIsBlank", 0x03, 'D', 8, 0, "00000000", FieldValue::Null()},
        DbaseValueCase{"StrayLogical", 0x03, 'L', 1, 0, "x", FieldValue::Null(),
                       ValueProblem::UnknownLogical},
        DbaseValueCase{"UnsetLogical", 0x03, 'L', 1, 0, "?", FieldValue::Null()},
        DbaseValueCase{"UndefinedByte", 0x03, 'C', 8, 0, "Caf\x81", FieldValue::Bytes("Caf\uFFFD"),
                       ValueProblem::UndefinedBytes},
        DbaseValueCase{"Utf8ReadAs1252", 0x03, 'C', 10, 0, "2 a\xC3\xB1os",
                       FieldValue::Bytes("2 a\xC3\x83\xC2\xB1os"), ValueProblem::LooksLikeUtf8},
        DbaseValueCase{"PlainWindowsText", 0x03, 'C', 10, 0, "Caf\xE9", FieldValue::Bytes("Café")},
        DbaseValueCase{"DateTimeBeforeYearOne", 0x30, 'T', 8, 0, dbase_test::Le64(5),
                       FieldValue::Null(), ValueProblem::InvalidDate},
        DbaseValueCase{"DoubleNaN", 0x30, 'B', 8, 0, dbase_test::Le64(0x7FF8000000000000),
                       FieldValue::Null(), ValueProblem::NotANumber},
        DbaseValueCase{"VarcharLengthPastTheField", 0x30, 'V', 5, 0, "abcd\x09", FieldValue::Null(),
                       ValueProblem::DamagedLength}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(ParadoxValueWarnings, BcdBlankBadDigitsAndDatesOutOfRange) {
  px::ParadoxTestTable t({{0x01, 6, "Name"}, {0x17, 2, "Amount"}, {0x02, 4, "Day"}});
  auto bcd = [](std::uint8_t first, std::uint8_t last) {
    std::string s(17, '\0');
    s[0] = static_cast<char>(first);
    s[16] = static_cast<char>(last);
    return s;
  };
  const std::string day = px::StoredInt(736695, 4);  // 2018-01-01
  t.AddRecord(px::Alpha("Caf\xE9", 6) + bcd(0xC2, 0x23) + day);
  t.AddRecord(px::Alpha("Caf\x81", 6) + bcd(0x82, 0x23) + day);  // bit 6 clear: blank
  t.AddRecord(px::Alpha("x", 6) + bcd(0xC2, 0x2C) + day);        // nibble C
  t.AddRecord(px::Alpha("y", 6) + bcd(0xC2, 0x2C) + px::StoredInt(3652060, 4));
  std::string path = Folder() + "/bcd.db";
  px::WriteFile(path, t.Bytes());
  auto table = OpenParadoxTable(path, {});
  std::vector<FieldValue> v;
  table->ReadRecord(0, v);
  EXPECT_EQ(v[0], FieldValue::Bytes("Café"));
  EXPECT_EQ(v[1], FieldValue::FromCurrency({2300}));
  table->ReadRecord(1, v);
  EXPECT_EQ(v[0], FieldValue::Bytes("Caf\uFFFD"));
  EXPECT_TRUE(v[1].IsNull());
  table->ReadRecord(2, v);
  EXPECT_TRUE(v[1].IsNull());
  try {
    table->ReadRecord(3, v);
    ADD_FAILURE() << "a date after 9999 was read";
  } catch (const Exception& e) {
    EXPECT_EQ(std::string(e.what()),
              path + ": record 4, field 'Day': stored value is no valid date");
  }
  // The failed record counts nothing, its bad BCD digit included.
  std::vector<ValueWarning> list = table->Warnings().List();
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].problem, ValueProblem::UndefinedBytes);
  EXPECT_EQ(list[0].firstRecord, 2);
  EXPECT_EQ(list[0].firstStored, "Caf\x81");
  EXPECT_EQ(list[1].problem, ValueProblem::BadBcdDigit);
  EXPECT_EQ(list[1].count, 1);
  EXPECT_EQ(list[1].firstRecord, 3);
  EXPECT_EQ(list[1].firstStored, bcd(0xC2, 0x2C));
}

struct EncodingCase {
  const char* label;
  std::uint8_t driver;
  const char* cpg;  // nullptr: no .cpg file
  const char* option;
  std::string text1, text2, memo;  // memo: in a dBase III memo field when not empty
  const char* encoding;
  EncodingOrigin origin;
  bool looksLikeUtf8;  // the warning
};

class DbaseEncodingTest : public ::testing::TestWithParam<EncodingCase> {};

TEST_P(DbaseEncodingTest, ChoosesAndWarns) {
  const EncodingCase& c = GetParam();
  std::string dir = Folder();
  DbfWriter w(0x83);
  w.LanguageDriver(c.driver).Field({"NAME", 'C', 12}).Field({"NOTE", 'M', 10});
  dbase_test::DbtIIIWriter memo;
  std::string pointer = c.memo.empty() ? "" : dbase_test::Pointer10(memo.Add(c.memo));
  w.Row({c.text1, pointer}).Row({c.text2, ""});
  dbase_test::WriteBytes(dir + "/t.dbt", memo.Bytes());
  if (c.cpg) dbase_test::WriteBytes(dir + "/t.cpg", c.cpg);
  auto table = OpenDbaseTable(w.Write(dir + "/t.dbf"), {c.option});
  EXPECT_EQ(table->Encoding(), c.encoding);
  EXPECT_EQ(table->EncodingSource(), c.origin);
  auto rows = ReadAll(*table);
  if (c.origin == EncodingOrigin::Detected) {
    EXPECT_EQ(rows[0][0].bytes(), c.text1);
  }
  bool warned = false;
  for (const ValueWarning& warning : table->Warnings().List()) {
    warned = warned || warning.problem == ValueProblem::LooksLikeUtf8;
  }
  EXPECT_EQ(warned, c.looksLikeUtf8);
}

const std::string kUtf8 = "2 a\xC3\xB1os";
INSTANTIATE_TEST_SUITE_P(
    Tables, DbaseEncodingTest,
    ::testing::Values(EncodingCase{"UndeclaredUtf8", 0, nullptr, "", kUtf8, "plain", "", "UTF-8",
                                   EncodingOrigin::Detected, false},
                      EncodingCase{"UndeclaredDos", 0, nullptr, "", "M\x81ller", "plain", "",
                                   "CP437", EncodingOrigin::Default, false},
                      EncodingCase{"UndeclaredAscii", 0, nullptr, "", "plain", "text", "", "CP437",
                                   EncodingOrigin::Default, false},
                      EncodingCase{"UndeclaredMixed", 0, nullptr, "", kUtf8, "M\x81ller", "",
                                   "CP437", EncodingOrigin::Default, false},
                      EncodingCase{"Utf8InAMemoOnly", 0, nullptr, "", "plain", "text",
                                   "\xE2\x82\xAC 5", "UTF-8", EncodingOrigin::Detected, false},
                      EncodingCase{"DosMemoSpoilsIt", 0, nullptr, "", kUtf8, "text", "M\x81ller",
                                   "CP437", EncodingOrigin::Default, true},
                      EncodingCase{"DeclaredWindows", 0x03, nullptr, "", kUtf8, "plain", "",
                                   "CP1252", EncodingOrigin::Header, true},
                      EncodingCase{"CpgFile", 0x03, "UTF-8\n", "", kUtf8, "plain", "", "UTF-8",
                                   EncodingOrigin::CpgFile, false},
                      EncodingCase{"OptionWins", 0, nullptr, "CP1252", kUtf8, "plain", "", "CP1252",
                                   EncodingOrigin::Option, false}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(ParadoxEncoding, UndeclaredUtf8IsFoundDeclaredIsKeptWithAWarning) {
  for (int version : {0x03, 0x0B}) {
    px::ParadoxTestTable t({{0x01, 12, "Name"}});
    t.version = version;  // 3.0 headers name no code page; this 5.x one says 1252
    t.AddRecord(px::Alpha(kUtf8, 12));
    std::string path = Folder() + "/v" + std::to_string(version) + ".db";
    px::WriteFile(path, t.Bytes());
    auto table = OpenParadoxTable(path, {});
    auto rows = ReadAll(*table);
    bool declared = version == 0x0B;
    EXPECT_EQ(table->Encoding(), declared ? "CP1252" : "UTF-8");
    EXPECT_EQ(table->EncodingSource(),
              declared ? EncodingOrigin::Header : EncodingOrigin::Detected);
    EXPECT_EQ(rows[0][0].bytes(), declared ? "2 a\xC3\x83\xC2\xB1os" : kUtf8);
    EXPECT_EQ(table->Warnings().List().size(), declared ? 1u : 0u);
  }
}

TEST(MissingMemoFile, RefusedByDefaultReadAsNullWithoutMemos) {
  std::string dir = Folder();
  DbfWriter w(0x83);
  w.Field({"ID", 'N', 2}).Field({"NOTE", 'M', 10});
  w.Row({"1", ""}).Row({"2", dbase_test::Pointer10(1)}).Row({"3", dbase_test::Pointer10(2)});
  std::string dbf = w.Write(dir + "/lost.dbf");
  px::ParadoxTestTable t({{0x0C, 15, "Memo"}});
  t.AddRecord(px::BlobField(15, "short", 0, 0, 5));
  t.AddRecord(px::BlobField(15, "long ", 0x1000, 0xFF, 600));
  std::string db = dir + "/lost.db";
  px::WriteFile(db, t.Bytes());

  for (const std::string& path : {dbf, db}) {
    SCOPED_TRACE(path);
    std::string memoFile = path.ends_with(".dbf") ? "lost.dbt" : "lost.mb";
    EXPECT_THROW(ReadAll(*OpenTableReader(path, {})), Exception);
    auto table = OpenTableReader(path, {"", {}, true});
    auto rows = ReadAll(*table);
    const std::size_t memo = rows[0].size() - 1;
    EXPECT_TRUE(rows.back()[memo].IsNull());
    std::vector<ValueWarning> list = table->Warnings().List();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].field, memo);
    EXPECT_EQ(list[0].problem, ValueProblem::MemoFileMissing);
    EXPECT_EQ(list[0].count, static_cast<std::int64_t>(rows.size()) - 1);
    EXPECT_EQ(list[0].firstRecord, 2);
    EXPECT_EQ(table->Warnings().MissingMemoFile(), memoFile);
  }
  EXPECT_EQ(ReadAll(*OpenTableReader(db, {"", {}, true}))[0][0], FieldValue::Bytes("short"));
}

TEST(BinaryFields, CharacterAndMemoFieldsDeliverTheirStoredBytes) {
  std::string dir = Folder();
  const std::string image = std::string("\x89PNG\r\n\x1A\n\0\x81\xFF", 11);
  dbase_test::DbtIVWriter memo;
  DbfWriter w(0x8B);
  w.LanguageDriver(0x03).Field({"NAME", 'C', 6}).Field({"PIC", 'M', 10}).Field({"N", 'N', 3});
  w.Row({"ab\x81", dbase_test::Pointer10(memo.Add(image)), "1"});
  dbase_test::WriteBytes(dir + "/img.dbt", memo.Bytes());
  std::string dbf = w.Write(dir + "/img.dbf");

  auto text = OpenDbaseTable(dbf, {});
  ReadAll(*text);
  ASSERT_EQ(text->Warnings().List().size(), 2u);  // undefined bytes in NAME and PIC
  EXPECT_EQ(text->Warnings().List()[1].problem, ValueProblem::UndefinedBytes);

  auto raw = OpenDbaseTable(dbf, {"", {"pic", "Name"}});
  EXPECT_EQ(raw->Fields()[0].type, ftBlob);
  EXPECT_EQ(raw->Fields()[1].type, ftBlob);
  EXPECT_EQ(raw->Fields()[2].type, ftSmallint);
  auto rows = ReadAll(*raw);
  EXPECT_EQ(rows[0][0], FieldValue::Bytes("ab\x81   "));  // the whole field
  EXPECT_EQ(rows[0][1], FieldValue::Bytes(image));
  EXPECT_TRUE(raw->Warnings().List().empty());

  px::ParadoxTestTable t({{0x01, 6, "Code"}, {0x04, 4, "Id"}});
  t.AddRecord(px::Alpha("\x81z", 6) + px::StoredInt(1, 4));
  std::string db = dir + "/codes.db";
  px::WriteFile(db, t.Bytes());
  auto paradox = OpenParadoxTable(db, {"", {"CODE"}});
  EXPECT_EQ(paradox->Fields()[0].type, ftBlob);
  EXPECT_EQ(ReadAll(*paradox)[0][0], FieldValue::Bytes(std::string("\x81z\0\0\0\0", 6)));

  // A number field, or one the table lacks, cannot be read so.
  for (const auto& [path, field] : {std::pair{dbf, "N"}, {dbf, "Nope"}, {db, "Id"}, {db, "Nope"}}) {
    try {
      OpenTableReader(path, {"", {field}});
      ADD_FAILURE() << path << " read " << field << " as raw bytes";
    } catch (const Exception& e) {
      std::string message = e.what();
      EXPECT_TRUE(message.starts_with(path + ": ")) << message;
      EXPECT_NE(message.find(std::string("'") + field + "'"), std::string::npos) << message;
    }
  }
}

TEST(WarningCount, EachRecordCountsOnceInTableOrder) {
  DbfWriter w(0x03);
  w.Field({"N", 'N', 5});
  for (int i = 0; i < 4; ++i) w.Row({"x" + std::to_string(i)});
  std::string path = w.Write(Folder() + "/count.dbf");
  auto table = OpenDbaseTable(path, {});
  std::vector<FieldValue> v;
  for (std::int64_t n : {2, 0, 1, 1, 0, 3}) table->ReadRecord(n, v);
  ASSERT_EQ(table->Warnings().List().size(), 1u);
  EXPECT_EQ(table->Warnings().List()[0].count, 2);  // records 1 and 2 in order; 3 and 4 jumped to
  EXPECT_EQ(table->Warnings().CountedRecords(), 2);

  TTableBDE bde;
  bde.SetTableName(path);
  bde.Open();
  bde.MoveToRecord(2);
  bde.CountWarnings();
  EXPECT_EQ(bde.RecNo(), 2);
  ASSERT_EQ(bde.Warnings().List().size(), 1u);
  EXPECT_EQ(bde.Warnings().List()[0].count, 4);
  EXPECT_EQ(bde.Warnings().List()[0].firstStored, "x0");
  bde.Close();
  EXPECT_TRUE(bde.Warnings().Empty());
}

}  // namespace
}  // namespace tabulix::source
