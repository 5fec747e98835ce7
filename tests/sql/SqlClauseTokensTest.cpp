#include "sql/SqlClauseTokens.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tabulix {
namespace {

std::vector<std::string> Words(std::string text, ServerKind dialect) {
  std::vector<std::string> out;
  std::string token;
  for (;;) {
    NextSqlWord(text, ";", dialect, token);
    if (token.empty()) break;
    out.push_back(token);
  }
  return out;
}

TEST(SkipHelpers, RemoveBlanksLinesAndMarkedRuns) {
  std::string text = " \t x ";
  EXPECT_TRUE(SkipLeadingBlanks(text));
  EXPECT_EQ(text, "x ");
  EXPECT_FALSE(SkipLeadingBlanks(text));

  text = "comment\r\nnext";
  SkipLine(text);
  EXPECT_EQ(text, "next");
  text = "comment\rnext";
  SkipLine(text);
  EXPECT_EQ(text, "next");
  text = "comment";
  SkipLine(text);
  EXPECT_EQ(text, "");

  text = "/* a */ b";
  SkipPast(text, "*/");
  EXPECT_EQ(text, " b");
  text = "/* never closed";
  SkipPast(text, "*/");
  EXPECT_EQ(text, "");
}

TEST(SkipBlanksAndComments, FollowsTheDialect) {
  struct Case {
    ServerKind dialect;
    std::string text, rest;
    bool removed;
  };
  const std::vector<Case> cases = {
      {skMySql, "  # one\n # two\r\nSELECT", "SELECT", true},
      {skMySql, "-- x\nSELECT", "-- x\nSELECT", false},
      {skMySql, "/* x */SELECT", "/* x */SELECT", false},
      {skPostgreSql, " -- x\n/* y\n */ SELECT", "SELECT", true},
      {skPostgreSql, "# x", "# x", false},
      {skInterBase, "// x\r/* y */SELECT", "SELECT", true},
      {skMsSql, " -- x", "-- x", true},
      {skGeneric, "# x", "# x", false},
      {skMySql, "SELECT", "SELECT", false},
  };
  for (const auto& c : cases) {
    std::string text = c.text;
    EXPECT_EQ(SkipBlanksAndComments(text, c.dialect), c.removed) << c.text;
    EXPECT_EQ(text, c.rest) << c.text;
  }
}

TEST(NextSqlToken, GroupsComeOutWhole) {
  EXPECT_EQ(Words("count(*) AS n", skMySql), (std::vector<std::string>{"count", "(*)", "AS", "n"}));
  EXPECT_EQ(Words("a IN ( 1,\t 2 , (3) ) x", skMySql),
            (std::vector<std::string>{"a", "IN", "( 1, 2 , (3) )", "x"}));
  EXPECT_EQ(Words("[Order Details].id", skMySql),
            (std::vector<std::string>{"[Order Details]", ".", "id"}));
  EXPECT_EQ(Words("f('a)b') z", skMySql), (std::vector<std::string>{"f", "('a)b')", "z"}));
  EXPECT_EQ(Words("(never closed", skMySql), (std::vector<std::string>{"(never closed"}));
}

TEST(NextSqlToken, StopsAtTheStopTextWithoutTakingIt) {
  std::string text = "  ; rest";
  std::string token = "x";
  NextSqlToken(text, ";", skMySql, token);
  EXPECT_EQ(token, "");
  EXPECT_EQ(text, "; rest");
  EXPECT_EQ(Words("a b; c", skMySql), (std::vector<std::string>{"a", "b"}));
}

TEST(NextSqlToken, BackquotedNamesAreOneToken) {
  EXPECT_EQ(Words("`my table` t, `a``b`", skMySql),
            (std::vector<std::string>{"`my table`", "t", ",", "`a``b`"}));
  EXPECT_EQ(Words("`open", skMySql), (std::vector<std::string>{"`open"}));
}

TEST(NextSqlWord, LineBreaksNeverComeOut) {
  std::string text = "a\r\n\r\nb";
  std::string token;
  NextSqlToken(text, ";", skMySql, token);
  NextSqlToken(text, ";", skMySql, token);
  EXPECT_EQ(token, "\r");
  EXPECT_EQ(Words("a\r\n\r\nb\n", skMySql), (std::vector<std::string>{"a", "b"}));
}

TEST(IsClauseKeyword, ByDialect) {
  for (ServerKind d : {skMySql, skPostgreSql, skInterBase, skMsSql, skOracle, skGeneric}) {
    for (const char* k : {"WHERE", "into", "Group", "ORDER", "HAVING", "FROM", "FOR"}) {
      EXPECT_TRUE(IsClauseKeyword(d, k)) << int(d) << k;
    }
    EXPECT_FALSE(IsClauseKeyword(d, "SELECT"));
    EXPECT_FALSE(IsClauseKeyword(d, "WHERES"));
  }
  struct Extra {
    const char* word;
    std::vector<ServerKind> in;
  };
  const std::vector<Extra> extras = {
      {"LIMIT", {skMySql, skPostgreSql}},
      {"PROCEDURE", {skMySql}},
      {"UNION", {skPostgreSql, skInterBase, skMsSql, skOracle}},
      {"INTERSECT", {skPostgreSql, skOracle}},
      {"EXCEPT", {skPostgreSql, skOracle}},
      {"COMPUTE", {skMsSql}},
      {"OPTION", {skMsSql}},
      {"START", {skOracle}},
  };
  for (const auto& e : extras) {
    for (ServerKind d : {skMySql, skPostgreSql, skInterBase, skMsSql, skOracle, skGeneric}) {
      bool want = std::find(e.in.begin(), e.in.end(), d) != e.in.end();
      EXPECT_EQ(IsClauseKeyword(d, e.word), want) << e.word << " " << int(d);
    }
  }
}

}  // namespace
}  // namespace tabulix
