#include "app/core/TableDump.h"

#include <gtest/gtest.h>

#include "app/core/TableInspection.h"
#include "source/TableBDE.h"
#include "source/TableBDEFakeReader.h"

namespace tabulix::app {
namespace {

class TableDumpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    table.fields = {{"ID", ftAutoInc, 4},   {"Name", ftString, 20}, {"Notes", ftMemo, 10},
                    {"Paid", ftBoolean, 1}, {"Due", ftDate, 4},     {"Pic", ftGraphic, 10}};
    table.rows = {
        {FieldValue::Integer(1), FieldValue::Bytes("O'Neil, \"Pat\""), FieldValue::Bytes("a\nb"),
         FieldValue::Boolean(true), FieldValue::DateTime(EncodeDate(2001, 12, 31)),
         FieldValue::Bytes("BM")},
        {FieldValue::Integer(2), FieldValue::Null(), FieldValue::Null(), FieldValue::Null(),
         FieldValue::Null(), FieldValue::Null()},
        {FieldValue::Integer(3), FieldValue::Bytes(""), FieldValue::Bytes(""),
         FieldValue::Boolean(false), FieldValue::Null(), FieldValue::Null()},
    };
    Reopen();
  }
  void Reopen() {
    bde.Close();
    bde.SetReaderFactory([this](const std::string&, const source::ReaderOptions&) {
      return std::make_unique<test::FakeReader>(table);
    });
    bde.SetTableName("t.db");
    bde.Open();
  }
  std::string Dump(DumpFormat format) {
    std::string text;
    OutputBuffer out(text);
    DumpTable(bde, format, out);
    return text;
  }

  test::FakeTable table;
  source::TTableBDE bde;
};

TEST_F(TableDumpTest, JsonLinesHoldOneObjectPerRecordInFieldOrder) {
  EXPECT_EQ(Dump(DumpFormat::JsonLines),
            "{\"ID\":1,\"Name\":\"O'Neil, \\\"Pat\\\"\",\"Notes\":\"a\\nb\",\"Paid\":true,"
            "\"Due\":\"2001-12-31\",\"Pic\":\"Qk0=\"}\n"
            // Blob fields hand over the empty text for a null value.
            "{\"ID\":2,\"Name\":null,\"Notes\":\"\",\"Paid\":null,\"Due\":null,\"Pic\":\"\"}\n"
            "{\"ID\":3,\"Name\":\"\",\"Notes\":\"\",\"Paid\":false,\"Due\":null,\"Pic\":\"\"}\n");
}

TEST_F(TableDumpTest, CsvHasAHeaderAndQuotesWhereNeeded) {
  EXPECT_EQ(Dump(DumpFormat::Csv),
            "ID,Name,Notes,Paid,Due,Pic\r\n"
            "1,\"O'Neil, \"\"Pat\"\"\",\"a\nb\",true,2001-12-31,Qk0=\r\n"
            "2,,\"\",,,\"\"\r\n"
            "3,\"\",\"\",false,,\"\"\r\n");
}

TEST_F(TableDumpTest, DumpStartsAtTheFirstRecordWhereverTheCursorIs) {
  bde.Last();
  std::string json = Dump(DumpFormat::JsonLines);
  EXPECT_TRUE(json.starts_with("{\"ID\":1,"));
  EXPECT_EQ(std::count(json.begin(), json.end(), '\n'), 3);
}

TEST_F(TableDumpTest, EmptyTableGivesNothingOrOnlyTheHeader) {
  table.rows.clear();
  Reopen();
  EXPECT_EQ(Dump(DumpFormat::JsonLines), "");
  EXPECT_EQ(Dump(DumpFormat::Csv), "ID,Name,Notes,Paid,Due,Pic\r\n");
}

TEST_F(TableDumpTest, TableWithoutFieldsGivesEmptyObjects) {
  table.fields.clear();
  table.rows = {{}, {}};
  Reopen();
  EXPECT_EQ(Dump(DumpFormat::JsonLines), "{}\n{}\n");
}

TEST_F(TableDumpTest, FieldNamesAreEscapedToo) {
  table.fields[1].name = "a\"b,c";
  Reopen();
  std::string json = Dump(DumpFormat::JsonLines);
  EXPECT_NE(json.find("\"a\\\"b,c\":"), std::string::npos);
  EXPECT_TRUE(Dump(DumpFormat::Csv).starts_with("ID,\"a\"\"b,c\",Notes"));
}

TEST_F(TableDumpTest, LargeOutputIsWrittenInBlocksAndComplete) {
  table.rows.resize(3);
  for (int i = 0; i < 5000; ++i) table.rows.push_back(table.rows[static_cast<std::size_t>(i % 3)]);
  Reopen();
  std::string text = Dump(DumpFormat::Csv);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 5004);
}

TEST_F(TableDumpTest, RecordWithAValueThatFailsLeavesNothingOfItself) {
  table.rows[1][4] = FieldValue::DateTime(-800000.0);  // before year 1
  Reopen();
  for (DumpFormat format : {DumpFormat::JsonLines, DumpFormat::Csv}) {
    std::string text;
    {
      OutputBuffer out(text);
      EXPECT_THROW(DumpTable(bde, format, out), Exception);
    }
    std::string complete = format == DumpFormat::Csv ? "\r\n" : "\n";
    std::size_t lines = format == DumpFormat::Csv ? 2 : 1;  // the header, the first record
    std::size_t end = 0;
    for (std::size_t i = 0; i < lines; ++i) end = text.find(complete, end) + complete.size();
    EXPECT_EQ(text.size(), end) << text;
  }
}

TEST_F(TableDumpTest, InspectionListsTheFieldGridAndTheCounts) {
  std::string text;
  OutputBuffer out(text);
  WriteInspection(bde, out);
  EXPECT_EQ(text,
            "Name\tType\tLength\tmySQL-Type\tmySQL-KEY\n"
            "ID\tautoincr\t\tint not null auto_increment\tKEY\n"
            "Name\tchar\t20\tchar(20)\t\n"
            "Notes\tmemo\t\tmediumtext\t\n"
            "Paid\tbool\t\tbool\t\n"
            "Due\tdate\t\tdate\t\n"
            "Pic\tgraphic\t\tlongblob\t\n"
            "Records: 3\n"
            "Fields: 6\n"
            "Code page: CP850 (default)\n");
}

}  // namespace
}  // namespace tabulix::app
