// The pieces of import-dir that need no server: which files of a folder are tables, and the
// lines an import sends its parent.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/core/FolderTables.h"
#include "app/core/ImportChannel.h"
#include "app/core/ImportProgress.h"
#include "framework/Exceptions.h"
#include "support/TestData.h"

namespace tabulix::app {
namespace {

TEST(FolderImportPartsTest, EveryParadoxAndDbaseTableOfTheFolderAndNothingElse) {
  const std::filesystem::path folder = test::TempDir() + "/folder-tables";
  std::filesystem::create_directories(folder / "sub.db");
  for (const char* name : {"orders.dbf", "ORDERS.DB", "Customer.DB", "notes.dbt", "Customer.MB",
                           "Customer.PX", "a.Dbf", "readme.txt", "orders2.dbf"}) {
    std::ofstream(folder / name) << "x";
  }
  std::vector<std::string> got;
  for (const FolderTable& t : ListFolderTables(folder.string())) {
    EXPECT_EQ(t.path, (folder / t.file).string());
    got.push_back(t.file + " -> " + t.table + (t.problem.empty() ? "" : " ! " + t.problem));
  }
  EXPECT_EQ(got, (std::vector<std::string>{
                     "Customer.DB -> Customer", "ORDERS.DB -> ORDERS", "a.Dbf -> a",
                     "orders.dbf -> orders ! The table name orders is taken by ORDERS.DB",
                     "orders2.dbf -> orders2"}));
  EXPECT_THROW(ListFolderTables((folder / "missing").string()), Exception);
}

TEST(FolderImportPartsTest, ChannelLinesSurviveTheirWay) {
  const std::vector<ChannelResult> results = {
      {0, 1000, 0, ""},
      {1, 41, 42, "Duplicate entry '7' for key 'PRIMARY'"},
      {1, 0, 0, "two\nlines\r\nand a \\ backslash \\n"},
  };
  for (const ChannelResult& r : results) {
    const std::string line = ResultLine(r);
    ASSERT_EQ(line.find('\n'), line.size() - 1) << r.message;
    ChannelResult back;
    ASSERT_TRUE(ParseResultLine(line.substr(0, line.size() - 1), back));
    EXPECT_EQ(back.status, r.status);
    EXPECT_EQ(back.rowsRead, r.rowsRead);
    EXPECT_EQ(back.record, r.record);
    EXPECT_EQ(back.message, r.message);
    ChannelProgress progress;
    EXPECT_FALSE(ParseProgressLine(line, progress));
  }
  ChannelProgress progress;
  ASSERT_TRUE(ParseProgressLine("progress 12 34", progress));
  EXPECT_EQ(progress.copied, 12);
  EXPECT_EQ(progress.total, 34);
  for (const char* damaged : {"progress 12", "progress x 3", "progress 1 2 3", "result 1 2"}) {
    ChannelResult result;
    EXPECT_FALSE(ParseProgressLine(damaged, progress) || ParseResultLine(damaged, result))
        << damaged;
  }
}

TEST(FolderImportPartsTest, TimeLeftAtTheRateSoFar) {
  struct Case {
    std::int64_t done, total;
    double rate;
    const char* text;
  };
  for (const Case& c :
       {Case{0, 100, 0, ""}, Case{100, 100, 50, ""}, Case{10, 5, 50, ""}, Case{0, 100, 1e-300, ""},
        Case{0, 100, 50, "about 2 s left"}, Case{1, 100, 50, "about 2 s left"},
        Case{0, 5900, 100, "about 59 s left"}, Case{0, 18500, 100, "about 3 min 05 s left"},
        Case{0, 372000, 100, "about 1 h 02 min left"}}) {
    EXPECT_EQ(TimeLeftText(c.done, c.total, c.rate), c.text)
        << c.done << " of " << c.total << " at " << c.rate;
  }
}

}  // namespace
}  // namespace tabulix::app
