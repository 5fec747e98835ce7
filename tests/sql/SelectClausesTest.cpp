#include "sql/SelectClauses.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tabulix {
namespace {

struct Split {
  bool ok;
  std::string fields, tables;
};

Split SplitOf(std::string_view sql, ServerKind dialect = skMySql) {
  Split s;
  s.ok = SplitSelect(sql, dialect, s.fields, s.tables);
  return s;
}

TEST(SplitSelect, FieldsAndTables) {
  struct Case {
    std::string sql;
    std::string fields, tables;
  };
  const std::vector<Case> cases = {
      {"SELECT a, b FROM t WHERE x=1", "a, b ", "t "},
      {"select a into @v from t", "a ", "t"},
      {"SELECT * FROM t", "* ", "t"},
      {"SELECT count(*) AS n FROM t1 a, t2 b ORDER BY n", "count(*) AS n ", "t1 a, t2 b "},
      {"SELECT a\r\nFROM t\r\nLIMIT 5", "a ", "t "},
      {"# note\nSELECT a FROM t", "a ", "t"},
      {"SELECT a FROM t; SELECT b FROM u", "a ", "t"},
      {"SELECT a; x", "a", ""},
      {"SELECT a", "a", ""},
      {"SELECT a INTO @v", "a ", ""},
      {"SELECT (SELECT max(x) FROM u) m FROM t", "(SELECT max(x) FROM u) m ", "t"},
      {R"(SELECT 'C:\\', `x FROM` FROM t$1)", R"('C:\\', `x FROM` )", "t$1"},
      {"SELECT `a #` FROM `t;1` WHERE x=1", "`a #` ", "`t;1` "},
  };
  for (const auto& c : cases) {
    Split s = SplitOf(c.sql);
    EXPECT_TRUE(s.ok) << c.sql;
    EXPECT_EQ(s.fields, c.fields) << c.sql;
    EXPECT_EQ(s.tables, c.tables) << c.sql;
  }
}

TEST(SplitSelect, AClauseKeywordInTheFieldListEndsIt) {
  Split s = SplitOf("SELECT a GROUP BY a");
  EXPECT_TRUE(s.ok);
  EXPECT_EQ(s.fields, "a ");
  EXPECT_EQ(s.tables, "");
}

TEST(SplitSelect, OtherStatementsAreNotSelects) {
  for (const char* sql : {"UPDATE t SET a=1", "", "   ", "-- c\nSELECT a FROM t", "SELECTa"}) {
    Split s = SplitOf(sql);
    EXPECT_FALSE(s.ok) << sql;
    EXPECT_EQ(s.fields, "");
    EXPECT_EQ(s.tables, "");
  }
}

struct Clauses {
  bool ok;
  int list, order, where, condition;
};

Clauses Locate(std::string_view sql, ServerKind dialect = skMySql) {
  Clauses c;
  c.ok = LocateSelectClauses(sql, dialect, c.list, c.order, c.where, c.condition);
  return c;
}

TEST(LocateSelectClauses, FindsOrPlacesTheClauses) {
  // "SELECT DISTINCT a FROM t GROUP BY a": blank before a at 16, blank before GROUP at 25.
  Clauses c = Locate("SELECT DISTINCT a FROM t GROUP BY a");
  EXPECT_TRUE(c.ok);
  EXPECT_EQ(c.list, 16);
  EXPECT_EQ(c.where, -25);
  EXPECT_EQ(c.order, 0);
  EXPECT_EQ(c.condition, 0);

  // "SELECT * FROM t WHERE x=2 ORDER BY c": x at 23, blank before ORDER at 26, end 37.
  c = Locate("SELECT * FROM t WHERE x=2 ORDER BY c");
  EXPECT_EQ(c.list, 7);
  EXPECT_EQ(c.condition, 23);
  EXPECT_EQ(c.where, 26);
  EXPECT_EQ(c.order, 37);

  c = Locate("SELECT * FROM t");
  EXPECT_EQ(c.where, 0);
  EXPECT_EQ(c.order, 0);

  // "SELECT * FROM t FOR UPDATE": both go before FOR (blank at 16).
  c = Locate("SELECT * FROM t FOR UPDATE");
  EXPECT_EQ(c.where, -16);
  EXPECT_EQ(c.order, -16);
}

TEST(LocateSelectClauses, SkipsMySqlModifiers) {
  EXPECT_EQ(Locate("SELECT SQL_BIG_RESULT HIGH_PRIORITY a FROM t").list, 36);
  EXPECT_EQ(Locate("SELECT STRAIGHT_JOIN a FROM t").list, 21);
  // Only MySQL knows them.
  EXPECT_EQ(Locate("SELECT HIGH_PRIORITY a FROM t", skPostgreSql).list, 7);
}

TEST(LocateSelectClauses, NotASelect) {
  Clauses c = Locate("DELETE FROM t WHERE a=1");
  EXPECT_FALSE(c.ok);
  EXPECT_EQ(c.list, 0);
  EXPECT_EQ(c.order, 0);
  EXPECT_EQ(c.where, 0);
  EXPECT_EQ(c.condition, 0);
}

std::string WithFilterAndOrder(std::string_view sql, std::string_view filter,
                               std::string_view order, ServerKind dialect = skMySql) {
  Clauses c = Locate(sql, dialect);
  std::string result;
  AddWhereAndOrder(sql, filter, order, result, c.order, c.where, c.condition);
  return result;
}

TEST(AddWhereAndOrder, InsertsAtTheLocatedPositions) {
  struct Case {
    std::string sql, filter, order, want;
  };
  const std::vector<Case> cases = {
      {"SELECT * FROM t", "a=1", "b", "SELECT * FROM t WHERE a=1 ORDER BY b"},
      {"SELECT * FROM t WHERE x=2 ORDER BY c", "a=1", "b",
       "SELECT * FROM t WHERE (x=2) AND a=1 ORDER BY c, b"},
      {"SELECT * FROM t WHERE x=1 OR y=2", "a=1", "", "SELECT * FROM t WHERE (x=1 OR y=2) AND a=1"},
      {"SELECT a FROM t GROUP BY a HAVING count(*) > 1", "a>0", "a",
       "SELECT a FROM t WHERE a>0 GROUP BY a HAVING count(*) > 1 ORDER BY a"},
      {"SELECT * FROM t ORDER BY c", "a=1", "", "SELECT * FROM t WHERE a=1 ORDER BY c"},
      {"SELECT * FROM t ORDER BY c", "", "b", "SELECT * FROM t ORDER BY c, b"},
      {"SELECT * FROM t", "", "", "SELECT * FROM t"},
      {"SELECT * FROM t FOR UPDATE", "a=1", "b", "SELECT * FROM t WHERE a=1 ORDER BY b FOR UPDATE"},
      {"SELECT * FROM t LIMIT 5", "a=1", "b", "SELECT * FROM t WHERE a=1 ORDER BY b LIMIT 5"},
      {"SELECT * FROM t ORDER BY c LIMIT 5", "", "b", "SELECT * FROM t ORDER BY c, b LIMIT 5"},
      {"SELECT * FROM t WHERE", "a=1", "", "SELECT * FROM t WHERE a=1"},
      {"SELECT * FROM t WHERE ORDER BY c", "a=1", "", "SELECT * FROM t WHERE a=1 ORDER BY c"},
      {"SELECT * FROM t\r\n", "a=1", "b", "SELECT * FROM t\r\n WHERE a=1 ORDER BY b"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WithFilterAndOrder(c.sql, c.filter, c.order), c.want) << c.sql;
  }
}

TEST(AddWhereAndOrder, PositionsOutsideTheTextAreKeptInside) {
  std::string result;
  AddWhereAndOrder("SELECT 1", "a", "b", result, -1000, 1000, 0);
  EXPECT_EQ(result, "SELECT 1 a ORDER BY b");
  AddWhereAndOrder("SELECT 1", "a", "", result, 0, 5, 999);
  EXPECT_EQ(result, "SELE aCT 1");
  AddWhereAndOrder("", "a", "b", result, INT32_MIN, INT32_MIN, INT32_MIN);
  EXPECT_EQ(result, " WHERE a ORDER BY b");
}

struct Tables {
  std::vector<std::string> names, aliases;
};

Tables TablesOf(std::string_view text) {
  StringList names, aliases;
  ExtractTables(text, names, aliases);
  return {names.Lines(), aliases.Lines()};
}

TEST(ExtractTables, NamesAndAliases) {
  struct Case {
    std::string text;
    std::vector<std::string> names, aliases;
  };
  const std::vector<Case> cases = {
      {"t1 a, db.t2 AS b LEFT JOIN t3 ON a.x = t3.x", {"t1", "db.t2", "t3"}, {"a", "b", "t3"}},
      {"t, t", {"t"}, {"t"}},
      {"t a, t b", {"t", "t"}, {"a", "b"}},
      {"T A, t a", {"T"}, {"A"}},
      {"t ", {"t"}, {"t"}},
      {"\"my t\" \"x\"", {"my t"}, {"x"}},
      {"[Order Details] od", {"Order Details"}, {"od"}},
      {"t1 JOIN t2 USING (id)", {"t1", "t2"}, {"t1", "t2"}},
      {"t1 INNER JOIN t2 ON t1.a = t2.a", {"t1", "t2"}, {"t1", "t2"}},
      {"t1 NATURAL JOIN t2", {"t1", "t2"}, {"t1", "t2"}},
      {"`my table` m", {"`my table`"}, {"m"}},
      {"t AS", {"t"}, {"t"}},
      {"t$1", {"t$1"}, {"t$1"}},
      {"$t x, db.a$b AS y, t$ z", {"$t", "db.a$b", "t$"}, {"x", "y", "z"}},
      {"", {}, {}},
  };
  for (const auto& c : cases) {
    Tables t = TablesOf(c.text);
    EXPECT_EQ(t.names, c.names) << c.text;
    EXPECT_EQ(t.aliases, c.aliases) << c.text;
  }
}

TEST(ExtractTables, EmptiesTheListsFirst) {
  StringList names{"old"}, aliases{"old"};
  ExtractTables("t", names, aliases);
  EXPECT_EQ(names.Lines(), std::vector<std::string>{"t"});
  EXPECT_EQ(aliases.Lines(), std::vector<std::string>{"t"});
}

TEST(CleanTableName, RemovesQuotesAndBrackets) {
  EXPECT_EQ(CleanTableName("'t'"), "t");
  EXPECT_EQ(CleanTableName("\"t\""), "t");
  EXPECT_EQ(CleanTableName("[t]"), "t");
  EXPECT_EQ(CleanTableName("[t"), "t");
  EXPECT_EQ(CleanTableName("t]"), "t");
  EXPECT_EQ(CleanTableName("db.t"), "db.t");
  EXPECT_EQ(CleanTableName(""), "");
}

}  // namespace
}  // namespace tabulix
