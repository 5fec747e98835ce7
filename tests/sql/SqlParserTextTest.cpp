#include <gtest/gtest.h>

#include "sql/ZSqlParser.h"
#include "tests/sql/SqlParserFake.h"

namespace tabulix::test {
namespace {

class SqlParserTextTest : public ::testing::Test {
 protected:
  const std::string& Prepare(const std::string& statement) {
    parser.Sql().SetText(statement);
    return parser.GetText();
  }

  FakeParserOwner dataset;
  TSqlParser parser{dataset};
};

TEST_F(SqlParserTextTest, TheTableStatementIsItsLineWithALineBreak) {
  EXPECT_EQ(Prepare("SELECT * FROM t"), "SELECT * FROM t\r\n");
  EXPECT_TRUE(parser.IsSelect());
  EXPECT_FALSE(parser.UsesRowId());
  EXPECT_EQ(Prepare("DELETE FROM t"), "DELETE FROM t\r\n");
  EXPECT_FALSE(parser.IsSelect());
}

TEST_F(SqlParserTextTest, LinkFilterSqlFilterAndOrderAreInserted) {
  parser.Sql().SetText("SELECT * FROM t WHERE x=2 ORDER BY c LIMIT 5");
  parser.SetLinkFilter("a=1");
  parser.SetOrderBy("b");
  EXPECT_EQ(parser.GetText(), "SELECT * FROM t WHERE (x=2) AND a=1 ORDER BY c, b LIMIT 5\r\n");

  dataset.options.Include(doSqlFilter);
  dataset.filtered = true;
  dataset.filter = "f>0";
  EXPECT_EQ(parser.GetText(),
            "SELECT * FROM t WHERE (x=2) AND a=1 AND f>0 ORDER BY c, b LIMIT 5\r\n");
  parser.SetLinkFilter("");
  EXPECT_EQ(parser.GetText(), "SELECT * FROM t WHERE (x=2) AND f>0 ORDER BY c, b LIMIT 5\r\n");
  parser.SetOrderBy("");
  parser.Sql().SetText("SELECT * FROM t GROUP BY a");
  EXPECT_EQ(parser.GetText(), "SELECT * FROM t WHERE f>0 GROUP BY a\r\n");
}

TEST_F(SqlParserTextTest, TheDatasetFilterCountsOnlyWhenFilteringOnTheServer) {
  dataset.filter = "f>0";
  dataset.filtered = true;
  EXPECT_EQ(parser.SqlFilter(), "");  // without doSqlFilter
  dataset.options.Include(doSqlFilter);
  EXPECT_EQ(parser.SqlFilter(), "f>0");
  dataset.filtered = false;
  EXPECT_EQ(parser.SqlFilter(), "");
  dataset.filtered = true;
  dataset.filter = " \t ";
  EXPECT_EQ(parser.SqlFilter(), "");
}

TEST_F(SqlParserTextTest, ParametersBecomeLiterals) {
  parser.Sql().SetText("SELECT * FROM t WHERE a = :p AND b = :\"q r\" AND c = :P");
  ASSERT_EQ(dataset.params.Count(), 3);
  dataset.params[0].Value = FieldValue::Bytes("O'Hara");
  dataset.params[1].Value = FieldValue::Integer(7);
  EXPECT_EQ(parser.GetText(),
            "SELECT * FROM t WHERE a = 'O\\'Hara' AND b = 7 AND c = 'O\\'Hara'\r\n");

  dataset.options.Include(doParamsAsIs);
  EXPECT_EQ(parser.GetText(), "SELECT * FROM t WHERE a = O'Hara AND b = 7 AND c = O'Hara\r\n");
  dataset.params[0].Value = FieldValue::Null();
  EXPECT_EQ(parser.GetText(), "SELECT * FROM t WHERE a = NULL AND b = 7 AND c = NULL\r\n");
}

TEST_F(SqlParserTextTest, SubstitutionCollapsesBlanksOutsideStrings) {
  EXPECT_EQ(Prepare("  SELECT  a,\t b FROM t WHERE s = 'x  :y'"),
            "SELECT a, b FROM t WHERE s = 'x  :y'\r\n");
  // "::" stands for one colon; a colon before a number or delimiter is no parameter, and one
  // the collection does not know stays for the server to judge.
  EXPECT_EQ(Prepare("SELECT a::b, '10:30', 10:30, @v:=1 FROM t"),
            "SELECT a:b, '10:30', 10:30, @v:=1 FROM t\r\n");
  EXPECT_TRUE(dataset.params.Empty());
  Prepare("SELECT * FROM t WHERE a = :p");
  dataset.params.Clear();
  EXPECT_EQ(parser.GetText(), "SELECT * FROM t WHERE a = :p\r\n");
}

// Literals and quoted names end where the server ends them, so a value ending in a backslash
// neither hides the parameters after it nor exposes the blanks of later values.
TEST_F(SqlParserTextTest, LiteralsAndQuotedNamesPassUnchanged) {
  struct Case {
    std::string sql;
    std::vector<std::string> params;
    std::string prepared;
  };
  const std::vector<Case> cases = {
      {R"(SELECT * FROM t WHERE a = 'C:\\' AND b = 'x  :q  y' AND c = :p)",
       {"p"},
       R"(SELECT * FROM t WHERE a = 'C:\\' AND b = 'x  :q  y' AND c = 'v')"},
      {R"(SELECT * FROM t WHERE a = 'it\'s :q' AND  b = :p)",
       {"p"},
       R"(SELECT * FROM t WHERE a = 'it\'s :q' AND b = 'v')"},
      {"SELECT `a  :q`, `x``:q` FROM t WHERE b = :p",
       {"p"},
       "SELECT `a  :q`, `x``:q` FROM t WHERE b = 'v'"},
      {"SELECT a:`b  c` FROM t", {}, "SELECT a:`b  c` FROM t"},
  };
  for (const auto& c : cases) {
    parser.Sql().SetText(c.sql);
    std::vector<std::string> names;
    for (TParam& p : dataset.params) {
      names.push_back(p.Name);
      p.Value = FieldValue::Bytes("v");
    }
    EXPECT_EQ(names, c.params) << c.sql;
    EXPECT_EQ(parser.GetText(), c.prepared + "\r\n") << c.sql;
  }
}

TEST_F(SqlParserTextTest, RowIdColumnOnlyForPostgreSqlTablesThatHaveOne) {
  dataset.serverKind = skPostgreSql;
  dataset.options.Include(doSqlFilter);
  dataset.filtered = true;
  dataset.filter = "y=2";
  parser.SetOrderBy("z");  // an ordering that runs to the end grows after the line break
  EXPECT_EQ(Prepare("SELECT * FROM t a WHERE x=1 ORDER BY w"),
            "SELECT a.oid, * FROM t a WHERE (x=1) AND y=2 ORDER BY w\r\n, z");
  EXPECT_TRUE(parser.UsesRowId());
  EXPECT_EQ(parser.Tables().Lines(), std::vector<std::string>{"t"});

  dataset.hasRowId = false;
  EXPECT_EQ(parser.GetText(), "SELECT * FROM t a WHERE (x=1) AND y=2 ORDER BY w\r\n, z");
  EXPECT_FALSE(parser.UsesRowId());
  dataset.hasRowId = true;
  dataset.readOnly = true;
  parser.GetText();
  EXPECT_FALSE(parser.UsesRowId());
  dataset.readOnly = false;
  dataset.options.Exclude(doUseRowId);
  parser.GetText();
  EXPECT_FALSE(parser.UsesRowId());

  dataset.options.Include(doUseRowId);
  dataset.serverKind = skMySql;
  dataset.requests.clear();
  EXPECT_EQ(parser.GetText(), "SELECT * FROM t a WHERE (x=1) AND y=2 ORDER BY w\r\n, z");
  EXPECT_FALSE(parser.UsesRowId());
  EXPECT_TRUE(dataset.requests.empty());
}

TEST_F(SqlParserTextTest, ANewStatementRecreatesParametersAndForgetsTheAnalysis) {
  dataset.columns["t"] = {"id"};
  Prepare("SELECT * FROM t WHERE a = :a AND b = :b");
  parser.Analyse();
  ASSERT_EQ(parser.Fields().Count(), 1);
  dataset.params[0].Value = FieldValue::Integer(1);
  dataset.params[0].DataType = ftInteger;
  dataset.params[1].Value = FieldValue::Integer(2);
  const int closes = dataset.closes;

  parser.Sql().SetText("SELECT * FROM t WHERE b = :B AND c = :c AND b2 = :b");
  EXPECT_EQ(dataset.closes, closes + 1);
  EXPECT_GE(dataset.fieldDefDrops, 1);
  EXPECT_GE(dataset.indexDefInvalidations, 1);
  EXPECT_EQ(parser.Fields().Count(), 0);
  ASSERT_EQ(dataset.params.Count(), 3);
  EXPECT_EQ(dataset.params[0].Name, "B");
  EXPECT_EQ(dataset.params[0].Value, FieldValue::Integer(2));
  EXPECT_TRUE(dataset.params[1].Value.IsEmpty());
  EXPECT_EQ(dataset.params[2].Value, FieldValue::Integer(2));
  EXPECT_EQ(dataset.params[2].DataType, ftUnknown);
  EXPECT_EQ(dataset.params[2].ParamType, ptUnknown);
}

TEST(SqlParserParams, OneParameterPerOccurrenceInOrder) {
  TParams params;
  TSqlParser::CreateParamsFromSql(
      params, "SELECT * FROM t WHERE a = :x AND b = : y AND c = :'q' AND d = :x AND e = '::z'");
  std::vector<std::string> names;
  for (const TParam& p : params) names.push_back(p.Name);
  EXPECT_EQ(names, (std::vector<std::string>{"x", "y", "q", "x"}));
}

}  // namespace
}  // namespace tabulix::test
