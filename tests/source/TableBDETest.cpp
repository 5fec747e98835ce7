#include "source/TableBDE.h"

#include <gtest/gtest.h>

#include "TableBDEFakeReader.h"
#include "framework/StringList.h"
#include "framework/TDataLink.h"

namespace tabulix::test {
namespace {

using source::ReaderOptions;
using source::TTableBDE;

class TableBDETest : public ::testing::Test {
 protected:
  void SetUp() override {
    table.fields = {{"ID", ftAutoInc, 0, 0, true, '+'},
                    {"Name", ftString, 20, 0, false, 'A'},
                    {"Notes", ftMemo, 10, 0, false, 'M'},
                    {"Amount", ftBCD, 17, 2, false, '#'},
                    {"Big", ftLargeint, 8, 0, false, 'L'}};
    for (int i = 1; i <= 3; ++i) {
      table.rows.push_back({FieldValue::Integer(i), FieldValue::Bytes("name" + std::to_string(i)),
                            FieldValue::Null(), FieldValue::FromCurrency({i * 12300}),
                            FieldValue::Largeint(9007199254740993LL + i)});
    }
    bde.SetReaderFactory([this](const std::string& path, const ReaderOptions& options) {
      openedPath = path;
      openedEncoding = options.encoding;
      if (path.ends_with("missing.db")) throw Exception(path + ": No such file or directory");
      return std::make_unique<FakeReader>(table);
    });
  }

  void OpenTable(const std::string& path = "/data/fake.db") {
    bde.Close();
    bde.SetTableName(path);
    bde.SetReadOnly(true);
    bde.Open();
  }

  FakeTable table;
  TTableBDE bde;
  std::string openedPath;
  std::string openedEncoding;
};

TEST_F(TableBDETest, OpensByFullPathAndListsTheFieldsInOrder) {
  OpenTable();
  EXPECT_TRUE(bde.Active());
  EXPECT_EQ(openedPath, "/data/fake.db");
  StringList names;
  bde.GetFieldNames(names);
  EXPECT_EQ(names.Lines(), (std::vector<std::string>{"ID", "Name", "Notes", "Amount", "Big"}));
  ASSERT_EQ(bde.FieldCount(), 5);
  EXPECT_EQ(bde.Fields(0).DataType(), ftAutoInc);
  EXPECT_EQ(bde.Fields(1).DataType(), ftString);
  EXPECT_EQ(bde.Fields(1).Size(), 20);
  EXPECT_EQ(bde.Fields(3).Size(), 2);  // BCD: its decimals
  EXPECT_EQ(bde.RecordCount(), 3);
  EXPECT_EQ(bde.Encoding(), "CP850");
}

TEST_F(TableBDETest, ReadsEveryRecordWithFirstNextAndEof) {
  OpenTable();
  std::vector<std::string> names;
  for (bde.First(); !bde.Eof(); bde.Next()) names.push_back(bde.Fields(1).Value().bytes());
  EXPECT_EQ(names, (std::vector<std::string>{"name1", "name2", "name3"}));
}

TEST_F(TableBDETest, FieldValuesComeAsTheirClassHandsThemOver) {
  OpenTable();
  bde.Next();
  EXPECT_EQ(bde.Fields(0).Value(), FieldValue::Integer(2));
  EXPECT_EQ(bde.Fields(3).Value(), FieldValue::FromCurrency({24600}));
  EXPECT_EQ(bde.Fields(4).Value(), FieldValue::Largeint(9007199254740995LL));
  // An empty memo is null but hands over the empty text.
  EXPECT_TRUE(bde.Fields(2).IsNull());
  EXPECT_EQ(bde.Fields(2).Value(), FieldValue::Bytes(""));
}

TEST_F(TableBDETest, EmptyTableIsAtEndRightAfterFirst) {
  table.rows.clear();
  OpenTable();
  EXPECT_EQ(bde.RecordCount(), 0);
  bde.First();
  EXPECT_TRUE(bde.Eof());
  EXPECT_TRUE(bde.Fields(1).Value().IsNull());
  EXPECT_EQ(bde.FieldCount(), 5);
}

TEST_F(TableBDETest, ReadsOnlyTheRecordsVisitedAndEachVisitOnce) {
  OpenTable();
  EXPECT_EQ(table.reads, (std::vector<std::int64_t>{0}));
  bde.First();
  bde.MoveToRecord(3);
  bde.Fields(1).Value();
  bde.Fields(1).Value();
  EXPECT_EQ(table.reads, (std::vector<std::int64_t>{0, 2}));
}

TEST_F(TableBDETest, AFailedReadKeepsTheCurrentRecord) {
  table.failingRecord = 1;
  OpenTable();
  try {
    bde.Next();
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "fake.db: record 2 is damaged");
  }
  EXPECT_EQ(bde.RecNo(), 1);
  EXPECT_EQ(bde.Fields(1).AsString(), "name1");
  EXPECT_EQ(bde.Fields(0).AsInteger(), 1);
}

TEST_F(TableBDETest, AReaderThatGivesTooFewValuesIsAnError) {
  table.rows[1].pop_back();
  OpenTable();
  EXPECT_THROW(bde.Next(), Exception);
  EXPECT_EQ(bde.RecNo(), 1);
}

TEST_F(TableBDETest, OpenFailureRaisesTheReadersMessageAndStaysClosed) {
  bde.SetTableName("/data/missing.db");
  try {
    bde.Open();
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "/data/missing.db: No such file or directory");
  }
  EXPECT_FALSE(bde.Active());
  EXPECT_EQ(bde.FieldCount(), 0);
  bde.Close();
  bde.Close();
}

TEST_F(TableBDETest, TheTableCannotBeChangedEvenWhenNotSetReadOnly) {
  bde.SetReadOnly(false);
  OpenTable();
  bde.SetReadOnly(false);
  EXPECT_FALSE(bde.CanModify());
  EXPECT_THROW(bde.Append(), EDatabaseError);
  EXPECT_THROW(bde.Edit(), EDatabaseError);
  EXPECT_THROW(bde.Delete(), EDatabaseError);
  EXPECT_EQ(bde.RecordCount(), 3);
}

TEST_F(TableBDETest, ANewTableNameClosesTheOpenTableAndTheSameNameDoesNot) {
  OpenTable();
  bde.SetTableName("/data/fake.db");
  EXPECT_TRUE(bde.Active());
  bde.SetTableName("/data/other.db");
  EXPECT_FALSE(bde.Active());
  EXPECT_EQ(bde.FieldCount(), 0);
  EXPECT_EQ(bde.Encoding(), "");
}

TEST_F(TableBDETest, ReaderOptionsReachTheReaderAtTheNextOpen) {
  bde.SetReaderOptions({"CP1251"});
  OpenTable();
  EXPECT_EQ(openedEncoding, "CP1251");
}

TEST_F(TableBDETest, ReopeningReadsTheFileAgain) {
  OpenTable();
  bde.Last();
  table.rows.push_back(table.rows[0]);
  OpenTable();
  EXPECT_EQ(bde.RecordCount(), 4);
  EXPECT_EQ(bde.RecNo(), 1);
}

TEST_F(TableBDETest, AGridLinkFollowsTheTable) {
  struct Grid : TDataLink {
    int activeChanges = 0;
    std::int64_t scrolled = 0;
    void ActiveChanged() override { ++activeChanges; }
    void DataSetScrolled(std::int64_t distance) override { scrolled += distance; }
  } grid;
  grid.SetDataSet(&bde);
  OpenTable();
  bde.MoveToRecord(3);
  bde.Close();
  EXPECT_EQ(grid.activeChanges, 2);
  EXPECT_EQ(grid.scrolled, 2);
}

}  // namespace
}  // namespace tabulix::test
