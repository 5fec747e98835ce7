#include <gtest/gtest.h>

#include "framework/Exceptions.h"
#include "framework/StringList.h"
#include "source/TableBDE.h"
#include "support/Json.h"
#include "support/TestData.h"

namespace tabulix::test {
namespace {

using source::TTableBDE;

// Sample tables (relative to the real data folder) that both readers open.
const char* const kSamples[] = {
    "paradox/db/CUSTOMER.DB",  "paradox/db/ORDERS.DB",        "paradox/fields/long.db",
    "paradox/fields/bcd.db",   "paradox/fields/timestamp.db", "paradox/joins/fk1.db",
    "paradox/areas/STATES.DB", "dbase/dbase_03.dbf",          "dbase/dbase_30.dbf",
    "dbase/dbase_31.dbf",      "dbase/dbase_83.dbf",          "dbase/dbase_8b.dbf",
    "dbase/cp1251.dbf",
};

std::string Stem(const std::string& path) {
  return path.substr(0, path.rfind('.'));
}

TEST(TableBDERealFileTest, WalksEverySampleWithTheExpectedFieldsAndRecordCount) {
  for (const char* sample : kSamples) {
    SCOPED_TRACE(sample);
    std::string path = RealDataDir() + "/" + sample;
    Json expected = Json::ParseFile(Stem(path) + ".expected.json");
    TTableBDE bde;
    bde.SetTableName(path);
    bde.SetReadOnly(true);
    bde.Open();
    StringList names;
    bde.GetFieldNames(names);
    std::vector<std::string> expectedNames;
    for (const Json& f : expected["fields"].items) {
      if (f["name"].text != "_NullFlags") expectedNames.push_back(f["name"].text);
    }
    EXPECT_EQ(names.Lines(), expectedNames);
    EXPECT_EQ(bde.RecordCount(), expected["record_count"].Integer());
    std::int64_t walked = 0;
    for (bde.First(); !bde.Eof(); bde.Next()) {
      for (int i = 0; i < bde.FieldCount(); ++i) bde.Fields(i).Value();
      ++walked;
    }
    EXPECT_EQ(walked, expected["record_count"].Integer());
  }
}

TEST(TableBDERealFileTest, ParadoxAutoIncrementReportsItsOwnType) {
  TTableBDE bde;
  bde.SetTableName(RealDataDir() + "/paradox/fields/long.db");
  bde.Open();
  EXPECT_EQ(bde.FieldByName("Id").DataType(), ftAutoInc);
  EXPECT_EQ(static_cast<int>(bde.FieldByName("Id").DataType()), 14);
  EXPECT_EQ(bde.FieldByName("LONG").DataType(), ftInteger);
  EXPECT_EQ(bde.Fields(0).Value().kind(), FieldValue::Kind::Integer);
}

TEST(TableBDERealFileTest, EmptyParadoxTableOpensAtItsEnd) {
  TTableBDE bde;
  bde.SetTableName(RealDataDir() + "/paradox/joins/fk1.db");
  bde.Open();
  EXPECT_EQ(bde.RecordCount(), 0);
  bde.First();
  EXPECT_TRUE(bde.Eof());
  EXPECT_EQ(bde.FieldCount(), 2);
}

TEST(TableBDERealFileTest, CharacterFieldSizeIsTheDeclaredLength) {
  TTableBDE bde;
  bde.SetTableName(RealDataDir() + "/paradox/db/CUSTOMER.DB");
  bde.Open();
  EXPECT_EQ(bde.FieldByName("FirstName").DataType(), ftString);
  EXPECT_EQ(bde.FieldByName("FirstName").Size(), 51);
}

TEST(TableBDERealFileTest, EncodingOverrideChangesTheDecodedText) {
  std::string path = RealDataDir() + "/dbase/cp1251.dbf";
  TTableBDE bde;
  bde.SetTableName(path);
  bde.Open();
  std::string asFileSays = bde.FieldByName("NAME").AsString();
  bde.Close();
  bde.SetReaderOptions({"ISO-8859-1"});
  bde.Open();
  EXPECT_EQ(bde.Encoding(), "ISO-8859-1");
  EXPECT_NE(bde.FieldByName("NAME").AsString(), asFileSays);
}

TEST(TableBDERealFileTest, NotATableFileRaisesAndStaysClosed) {
  TTableBDE bde;
  bde.SetTableName(RealDataDir() + "/README.md");
  EXPECT_THROW(bde.Open(), Exception);
  EXPECT_FALSE(bde.Active());
  bde.SetTableName(TempDir() + "/nothing-here.dbf");
  EXPECT_THROW(bde.Open(), Exception);
  EXPECT_FALSE(bde.Active());
}

}  // namespace
}  // namespace tabulix::test
