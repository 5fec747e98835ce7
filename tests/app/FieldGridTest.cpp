#include "app/core/FieldGrid.h"

#include <gtest/gtest.h>

#include "source/TableBDE.h"
#include "source/TableBDEFakeReader.h"

namespace tabulix::app {
namespace {

class FieldGridTest : public ::testing::Test {
 protected:
  void Open(std::vector<source::SourceFieldDef> fields) {
    table.fields = std::move(fields);
    bde.Close();
    bde.SetReaderFactory([this](const std::string&, const source::ReaderOptions&) {
      return std::make_unique<test::FakeReader>(table);
    });
    bde.SetTableName("t.db");
    bde.Open();
  }
  test::FakeTable table;
  source::TTableBDE bde;
};

TEST_F(FieldGridTest, CharAutoIncAndMemoRows) {
  Open({{"Name", ftString, 20}, {"ID", ftAutoInc, 4}, {"Notes", ftMemo, 10}});
  std::vector<FieldGridRow> rows = BuildFieldGrid(bde);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0], (FieldGridRow{"Name", "char", "20", "char(20)", ""}));
  EXPECT_EQ(rows[1], (FieldGridRow{"ID", "autoincr", "", "int not null auto_increment", "KEY"}));
  EXPECT_EQ(rows[2], (FieldGridRow{"Notes", "memo", "", "mediumtext", ""}));
}

TEST_F(FieldGridTest, BinaryAndDecimalTypesGetColumnTypes) {
  Open({{"Amount", ftBCD, 17, 2},
        {"Raw", ftBytes, 8},
        {"Rich", ftFmtMemo, 10},
        {"Obj", ftParadoxOle, 10},
        {"Big", ftLargeint, 8},
        {"Odd", ftUnknown, 0}});
  std::vector<FieldGridRow> rows = BuildFieldGrid(bde);
  EXPECT_EQ(rows[0], (FieldGridRow{"Amount", "bcd", "", "decimal(32,4)", ""}));
  EXPECT_EQ(rows[1], (FieldGridRow{"Raw", "bytes", "", "blob", ""}));
  EXPECT_EQ(rows[2], (FieldGridRow{"Rich", "fmtmemo", "", "longblob", ""}));
  EXPECT_EQ(rows[3], (FieldGridRow{"Obj", "ole", "", "longblob", ""}));
  EXPECT_EQ(rows[4], (FieldGridRow{"Big", "64Bit-Int", "", "bigint", ""}));
  EXPECT_EQ(rows[5], (FieldGridRow{"Odd", "unknown", "", "", ""}));
}

TEST_F(FieldGridTest, FewerFieldsAfterMoreLeaveNothingStale) {
  Open({{"A", ftAutoInc, 4}, {"B", ftString, 5}, {"C", ftString, 6}});
  ASSERT_EQ(BuildFieldGrid(bde).size(), 3u);
  Open({{"X", ftInteger, 4}});
  std::vector<FieldGridRow> rows = BuildFieldGrid(bde);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0], (FieldGridRow{"X", "32Bit-Int", "", "int", ""}));
}

TEST_F(FieldGridTest, ACharacterFieldOfSizeZeroShowsNoLengthAndGetsCharZero) {
  Open({{"Empty", ftString, 0}});
  EXPECT_EQ(BuildFieldGrid(bde)[0], (FieldGridRow{"Empty", "char", "", "char(0)", ""}));
}

TEST_F(FieldGridTest, AClosedTableHasNoRows) {
  Open({{"A", ftInteger, 4}});
  bde.Close();
  EXPECT_TRUE(BuildFieldGrid(bde).empty());
}

}  // namespace
}  // namespace tabulix::app
