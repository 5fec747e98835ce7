#include <gtest/gtest.h>

#include "sql/ZSqlParser.h"
#include "tests/sql/SqlParserFake.h"

namespace tabulix::test {
namespace {

class SqlParserAnalyseTest : public ::testing::Test {
 protected:
  SqlParserAnalyseTest() {
    dataset.columns["t"] = {"id", "name"};
    dataset.columns["t1"] = {"id", "x"};
    dataset.columns["t2"] = {"id", "y"};
  }
  void Analyse(const std::string& statement) {
    parser.Sql().SetText(statement);
    parser.GetText();
    parser.Analyse();
  }
  // "table.field=alias" for every description, in list order.
  std::vector<std::string> Aliases() const {
    std::vector<std::string> out;
    for (const TFieldDesc& d : parser.Fields()) {
      out.push_back(d.TableName + "." + d.FieldName + "=" + d.Alias);
    }
    return out;
  }
  using V = std::vector<std::string>;

  FakeParserOwner dataset;
  TSqlParser parser{dataset};
};

TEST_F(SqlParserAnalyseTest, StarSelectsEveryColumnUnderItsOwnName) {
  Analyse("SELECT * FROM t");
  EXPECT_TRUE(parser.IsSelect());
  EXPECT_EQ(parser.Tables().Lines(), V{"t"});
  EXPECT_EQ(parser.Aliases().Lines(), V{"t"});
  EXPECT_EQ(Aliases(), (V{"t.id=id", "t.name=name"}));
  EXPECT_EQ(dataset.requests, (V{"SHOW COLUMNS FROM t", "SHOW INDEX FROM t"}));
}

TEST_F(SqlParserAnalyseTest, SameColumnOfTwoTablesGetsANumberedAlias) {
  Analyse("SELECT a.id, b.id FROM t1 a, t2 b");
  EXPECT_EQ(parser.Tables().Lines(), (V{"t1", "t2"}));
  EXPECT_EQ(parser.Aliases().Lines(), (V{"a", "b"}));
  EXPECT_EQ(Aliases(), (V{"t1.id=id", "t1.x=", "t2.id=id_1", "t2.y="}));
  EXPECT_EQ(dataset.requests, (V{"SHOW COLUMNS FROM t1", "SHOW INDEX FROM t1",
                                 "SHOW COLUMNS FROM t2", "SHOW INDEX FROM t2"}));

  Analyse("SELECT * FROM t1, t2, t1 c");
  EXPECT_EQ(Aliases(), (V{"t1.id=id", "t1.x=x", "t2.id=id_1", "t2.y=y", "t1.id=", "t1.x="}));
}

TEST_F(SqlParserAnalyseTest, NumberedAliasesSkipNumbersInUse) {
  dataset.columns["t3"] = {"id"};
  dataset.columns["t"] = {"id_1", "id"};
  Analyse("SELECT * FROM t, t1, t3");
  EXPECT_EQ(Aliases(), (V{"t.id_1=id_1", "t.id=id", "t1.id=id_2", "t1.x=x", "t3.id=id_3"}));
}

TEST_F(SqlParserAnalyseTest, AsAndEqualsGiveAliases) {
  Analyse("SELECT id AS Key, name FROM t");
  EXPECT_EQ(Aliases(), (V{"t.id=Key", "t.name=name"}));
  Analyse("SELECT id as k2,\r\n  name = n2 FROM t");
  EXPECT_EQ(Aliases(), (V{"t.id=k2", "t.name=n2"}));

  dataset.serverKind = skPostgreSql;
  Analyse("SELECT id AS Key, name FROM t");
  EXPECT_EQ(Aliases(), (V{"t.id=key", "t.name=name"}));
  Analyse("SELECT \"id\" AS \"Key\", NAME FROM t");
  EXPECT_EQ(Aliases(), (V{"t.id=Key", "t.name=name"}));
}

TEST_F(SqlParserAnalyseTest, ItemsAfterABareStarAreNotAnalysed) {
  Analyse("SELECT *, 1 AS x, id AS other FROM t");
  EXPECT_EQ(Aliases(), (V{"t.id=id", "t.name=name"}));
}

TEST_F(SqlParserAnalyseTest, AColumnSelectedTwiceKeepsItsFirstAlias) {
  Analyse("SELECT name AS n, id, name, id AS other FROM t");
  EXPECT_EQ(Aliases(), (V{"t.id=id", "t.name=n"}));
}

TEST_F(SqlParserAnalyseTest, TableStarAliasesOneTable) {
  Analyse("SELECT b.*, a.id FROM t1 a, t2 b");
  EXPECT_EQ(Aliases(), (V{"t1.id=id_1", "t1.x=", "t2.id=id", "t2.y=y"}));
  Analyse("SELECT t2.* FROM t1, t2");
  EXPECT_EQ(Aliases(), (V{"t1.id=", "t1.x=", "t2.id=id", "t2.y=y"}));
}

TEST_F(SqlParserAnalyseTest, SelectModifiersAreSkipped) {
  Analyse("SELECT DISTINCT HIGH_PRIORITY STRAIGHT_JOIN name, count(*) AS n, id FROM t");
  EXPECT_EQ(Aliases(), (V{"t.id=id", "t.name=name"}));
  Analyse("SELECT straignt_join name FROM t");
  EXPECT_EQ(Aliases(), (V{"t.id=", "t.name=name"}));
  // Outside MySQL its own modifiers are select items, and the rest of such an item (here
  // the column name) is passed over.
  dataset.serverKind = skGeneric;
  Analyse("SELECT ALL HIGH_PRIORITY name, id FROM t");
  EXPECT_EQ(Aliases(), (V{"t.id=id", "t.name="}));
}

TEST_F(SqlParserAnalyseTest, OnlyASelectIsAnalysed) {
  Analyse("SELECT * FROM t");
  Analyse("UPDATE t SET name = 'x'");
  EXPECT_FALSE(parser.IsSelect());
  EXPECT_EQ(parser.Tables().Count(), 0u);
  EXPECT_EQ(parser.Fields().Count(), 0);
  EXPECT_EQ(dataset.requests.size(), 2u);  // only those of the first statement
}

TEST_F(SqlParserAnalyseTest, AliasesStayWithin64Characters) {
  const std::string longName(64, 'c');
  dataset.columns["t1"] = {longName};
  dataset.columns["t2"] = {longName};
  Analyse("SELECT * FROM t1, t2");
  ASSERT_EQ(parser.Fields().Count(), 2);
  EXPECT_EQ(parser.Fields()[0].Alias, longName);
  EXPECT_EQ(parser.Fields()[1].Alias, std::string(62, 'c') + "_1");

  Analyse("SELECT id AS " + std::string(70, 'k') + " FROM t");
  EXPECT_EQ(parser.Fields()[0].Alias, std::string(64, 'k'));
}

TEST_F(SqlParserAnalyseTest, SetFieldAliasResolvesTableAliases) {
  Analyse("SELECT a.x FROM t1 a, t2 b");
  parser.SetFieldAlias("B", "Y", "");
  parser.SetFieldAlias("b", "nosuch", "z");
  parser.SetFieldAlias("", "id", "first");  // an empty table matches the first
  EXPECT_EQ(Aliases(), (V{"t1.id=first", "t1.x=x", "t2.id=", "t2.y=Y"}));
}

TEST_F(SqlParserAnalyseTest, NormalizeNameFoldsForServersThatFold) {
  struct Case {
    ServerKind kind;
    const char* in;
    const char* out;
  };
  for (const Case& c : {Case{skMySql, "Name", "Name"}, Case{skMySql, "\"Name\"", "\"Name\""},
                        Case{skPostgreSql, "Name", "name"}, Case{skPostgreSql, "\"Name\"", "Name"},
                        Case{skMsSql, "NaMe", "name"}, Case{skInterBase, "Name", "Name"},
                        Case{skGeneric, "NAME", "NAME"}}) {
    dataset.serverKind = c.kind;
    EXPECT_EQ(parser.NormalizeName(c.in), c.out) << int{c.kind} << " " << c.in;
  }
}

TEST_F(SqlParserAnalyseTest, ResetForgetsTablesLinkAndOrder) {
  Analyse("SELECT * FROM t");
  parser.SetLinkFilter("a=1");
  parser.SetOrderBy("b");
  parser.Reset();
  EXPECT_EQ(parser.Tables().Count(), 0u);
  EXPECT_EQ(parser.Aliases().Count(), 0u);
  EXPECT_EQ(parser.LinkFilter(), "");
  EXPECT_EQ(parser.OrderBy(), "");
}

class SqlParserIndexDefsTest : public SqlParserAnalyseTest {
 protected:
  SqlParserIndexDefsTest() {
    dataset.columns["t"] = {"id", "name", "born"};
    dataset.indexRows = {
        {"t", "PRIMARY", TIndexDesc::kPrimary, TIndexDesc::kAscending, "id"},
        {"t", "u", TIndexDesc::kUnique, TIndexDesc::kAscending, "name"},
        {"t", "u", TIndexDesc::kUnique, TIndexDesc::kAscending, "born"},
        {"t", "d", TIndexDesc::kNonUnique, TIndexDesc::kDescending, "born"},
    };
  }
  std::vector<TIndexDef> Defs() const {
    std::vector<TIndexDef> defs{{"stale", "x", 0}};
    parser.GetIndexDefs(defs);
    return defs;
  }
};

TEST_F(SqlParserIndexDefsTest, FullySelectedIndexesKeepTheirKind) {
  Analyse("SELECT * FROM t");
  ASSERT_EQ(parser.Indices().Count(), 3);
  EXPECT_EQ(parser.Indices()[1].Columns, (V{"name", "born"}));
  auto defs = Defs();
  ASSERT_EQ(defs.size(), 3u);
  EXPECT_EQ(defs[0].Name, "PRIMARY");
  EXPECT_EQ(defs[0].Fields, "id");
  EXPECT_EQ(defs[0].Options, ixPrimary | ixUnique);
  EXPECT_EQ(defs[1].Fields, "name,born");
  EXPECT_EQ(defs[1].Options, ixUnique);
  EXPECT_EQ(defs[2].Options, ixDescending);
}

TEST_F(SqlParserIndexDefsTest, PartlySelectedIndexesBecomePlain) {
  Analyse("SELECT born AS b, id AS k FROM t");
  auto defs = Defs();
  ASSERT_EQ(defs.size(), 3u);
  EXPECT_EQ(defs[0].Fields, "k");
  EXPECT_EQ(defs[0].Options, ixPrimary | ixUnique);
  EXPECT_EQ(defs[1].Name, "u");
  EXPECT_EQ(defs[1].Fields, "b");
  EXPECT_EQ(defs[1].Options, 0);
  EXPECT_EQ(defs[2].Fields, "b");

  Analyse("SELECT name FROM t");
  defs = Defs();
  ASSERT_EQ(defs.size(), 1u);  // indexes without any selected column are left out
  EXPECT_EQ(defs[0].Name, "u");
  EXPECT_EQ(defs[0].Fields, "name");
  EXPECT_EQ(defs[0].Options, 0);
}

}  // namespace
}  // namespace tabulix::test
