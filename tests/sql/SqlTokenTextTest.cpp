#include "sql/SqlTokenText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tabulix {
namespace {

struct Cut {
  int kind;
  std::string token;
};

// Every token TakeToken cuts from text, in order.
std::vector<Cut> AllTokens(std::string text) {
  std::vector<Cut> out;
  std::string token;
  while (!text.empty()) {
    int kind = TakeToken(text, token);
    out.push_back({kind, token});
  }
  return out;
}

TEST(TakeToken, SkipsLeadingBlanksAndConsumesTheWord) {
  std::string buffer = "  select";
  std::string token = "stale";
  EXPECT_EQ(TakeToken(buffer, token), kTokenWord);
  EXPECT_EQ(token, "select");
  EXPECT_EQ(buffer, "");
}

TEST(TakeToken, EmptyAndBlankBuffers) {
  std::string buffer;
  std::string token = "stale";
  EXPECT_EQ(TakeToken(buffer, token), kTokenNone);
  EXPECT_EQ(token, "");
  buffer = " \t ";
  EXPECT_EQ(TakeToken(buffer, token), kTokenNone);
  EXPECT_EQ(buffer, "");
}

TEST(TakeToken, QuotedStrings) {
  std::string buffer = R"('it\'s' x)";
  std::string token;
  EXPECT_EQ(TakeToken(buffer, token), kTokenString);
  EXPECT_EQ(token, R"('it\'s')");
  EXPECT_EQ(buffer, " x");

  buffer = "'a''b'";
  EXPECT_EQ(TakeToken(buffer, token), kTokenString);
  EXPECT_EQ(token, "'a'");
  EXPECT_EQ(TakeToken(buffer, token), kTokenString);
  EXPECT_EQ(token, "'b'");

  buffer = "\"open string";
  EXPECT_EQ(TakeToken(buffer, token), kTokenString);
  EXPECT_EQ(token, "\"open string");
  EXPECT_EQ(buffer, "");

  buffer = "\"it's\"";  // the other quote does not close it
  EXPECT_EQ(TakeToken(buffer, token), kTokenString);
  EXPECT_EQ(token, "\"it's\"");
}

TEST(TakeToken, NumbersWordsAndDelimiters) {
  auto cuts = AllTokens("12ab ab12 3.5 x_y\r\n'q'z");
  std::vector<std::pair<int, std::string>> got;
  for (auto& c : cuts) got.emplace_back(c.kind, c.token);
  std::vector<std::pair<int, std::string>> want = {{kTokenNumber, "12ab"},  {kTokenWord, "ab12"},
                                                   {kTokenNumber, "3"},     {kTokenDelimiter, "."},
                                                   {kTokenNumber, "5"},     {kTokenWord, "x_y"},
                                                   {kTokenDelimiter, "\r"}, {kTokenDelimiter, "\n"},
                                                   {kTokenString, "'q'"},   {kTokenWord, "z"}};
  EXPECT_EQ(got, want);
}

TEST(TakeToken, EveryDelimiterStandsAlone) {
  ASSERT_EQ(kSqlTokenDelimiters.size(), 33u);
  for (char d : kSqlTokenDelimiters) {
    if (d == ' ' || d == '\t') continue;  // skipped as blanks
    if (d == '`') continue;               // opens a quoted name
    std::string buffer = std::string(1, d) + "w";
    std::string token;
    EXPECT_EQ(TakeToken(buffer, token), kTokenDelimiter) << int(d);
    EXPECT_EQ(token, std::string(1, d));
    EXPECT_EQ(buffer, "w");
  }
  EXPECT_FALSE(IsSqlTokenDelimiter('_'));
  EXPECT_FALSE(IsSqlTokenDelimiter('\''));
  EXPECT_FALSE(IsSqlTokenDelimiter('"'));
}

// Where a string or a quoted name ends decides what the helpers built on TakeToken (parameter
// substitution, the clause readers) leave untouched.
TEST(TakeToken, StringsAndNamesEndWhereTheServerEndsThem) {
  struct Case {
    std::string text;
    int kind;
    std::string token, rest;
  };
  const std::vector<Case> cases = {
      {R"('C:\\DATA\\', 'x  y')", kTokenString, R"('C:\\DATA\\')", ", 'x  y'"},
      {R"('a\\' b)", kTokenString, R"('a\\')", " b"},
      {R"('a\\\'b' c)", kTokenString, R"('a\\\'b')", " c"},
      {R"("C:\\" "x")", kTokenString, R"("C:\\")", R"( "x")"},
      {"`a;b` int", kTokenWord, "`a;b`", " int"},
      {"`Invoice #`, b", kTokenWord, "`Invoice #`", ", b"},
      {"`it's \\` x", kTokenWord, "`it's \\`", " x"},
      {"`a``b` c", kTokenWord, "`a``b`", " c"},
      {"`open name", kTokenWord, "`open name", ""},
  };
  for (const auto& c : cases) {
    std::string buffer = c.text;
    std::string token;
    EXPECT_EQ(TakeToken(buffer, token), c.kind) << c.text;
    EXPECT_EQ(token, c.token) << c.text;
    EXPECT_EQ(buffer, c.rest) << c.text;
  }
}

TEST(TakeCodeToken, PassesOverLineBreaks) {
  std::string buffer = "\r\n\r\n  word\nnext";
  std::string token;
  EXPECT_EQ(TakeCodeToken(buffer, token), kTokenWord);
  EXPECT_EQ(token, "word");
  EXPECT_EQ(buffer, "\nnext");
  buffer = "\r\n";
  EXPECT_EQ(TakeCodeToken(buffer, token), kTokenNone);
  EXPECT_EQ(token, "");
}

TEST(TakeOperand, JoinsFractionsAndFindsNames) {
  const std::vector<std::string> names = {"alpha", "beta"};
  std::string buffer = "12.50 + rest";
  std::string token;
  int index = 7;
  EXPECT_EQ(TakeOperand(buffer, names, token, index), kTokenNumber);
  EXPECT_EQ(token, "12.50");
  EXPECT_EQ(index, -1);
  EXPECT_EQ(buffer, " + rest");

  buffer = "3.x";
  EXPECT_EQ(TakeOperand(buffer, names, token, index), kTokenNumber);
  EXPECT_EQ(token, "3.");
  EXPECT_EQ(buffer, "x");

  buffer = "beta";
  EXPECT_EQ(TakeOperand(buffer, names, token, index), kTokenVariable);
  EXPECT_EQ(index, 1);
  buffer = "Beta";
  EXPECT_EQ(TakeOperand(buffer, names, token, index), kTokenWord);
  EXPECT_EQ(index, -1);
  buffer = "beta";
  EXPECT_EQ(TakeOperand(buffer, {}, token, index), kTokenWord);
}

TEST(TakeBracketedName, ReadsTheNameWhole) {
  std::string buffer = "[Order Details] x";
  std::string token;
  EXPECT_EQ(TakeBracketedName(buffer, token), kTokenWord);
  EXPECT_EQ(token, "Order Details");
  EXPECT_EQ(buffer, " x");

  buffer = "[no end";
  EXPECT_EQ(TakeBracketedName(buffer, token), kTokenWord);
  EXPECT_EQ(token, "");
  EXPECT_EQ(buffer, "no end");

  buffer = "'q' x";
  EXPECT_EQ(TakeBracketedName(buffer, token), kTokenString);
  EXPECT_EQ(token, "'q'");
}

TEST(CutWord, LeavesTheEndingDelimiter) {
  std::string buffer = "  UPDATE\tt SET";
  std::string word;
  CutWord(buffer, " \t\r\n", word);
  EXPECT_EQ(word, "UPDATE");
  EXPECT_EQ(buffer, "\tt SET");
  buffer = " ,, ";
  CutWord(buffer, " ,", word);
  EXPECT_EQ(word, "");
  EXPECT_EQ(buffer, "");
}

TEST(CutItem, QuotedStringsAndGroupsAreOneItem) {
  struct Case {
    std::string buffer, item, rest;
  };
  const std::vector<Case> cases = {
      {" a, b", "a", ", b"},
      {",'x, y' z", "'x, y'", " z"},
      {"(a, (b, c)) d", "(a, (b, c))", " d"},
      {"count(a, b) AS n", "count(a, b)", " AS n"},
      {"concat(')', a), b", "concat(')', a)", ", b"},
      {"(open, never closed", "(open, never closed", ""},
      {"'open", "'open", ""},
      {"t.* ,x", "t.*", " ,x"},
      {R"('C:\\', b)", R"('C:\\')", ", b"},
      {"`a, b` c", "`a, b`", " c"},
      {"t.`a b`, c", "t.`a b`", ", c"},
      {"f(`x)`, ')') d", "f(`x)`, ')')", " d"},
  };
  for (const auto& c : cases) {
    std::string buffer = c.buffer;
    std::string item;
    CutItem(buffer, " ,\t\r\n", item);
    EXPECT_EQ(item, c.item) << c.buffer;
    EXPECT_EQ(buffer, c.rest) << c.buffer;
  }
}

TEST(StripQuotesAndBrackets, RemoveOnlyEnclosingPairs) {
  EXPECT_EQ(StripQuotes("'abc'"), "abc");
  EXPECT_EQ(StripQuotes("\"abc\""), "abc");
  EXPECT_EQ(StripQuotes("'abc\""), "abc\"");
  EXPECT_EQ(StripQuotes("abc'"), "abc'");
  EXPECT_EQ(StripQuotes("'"), "");
  EXPECT_EQ(StripQuotes(""), "");
  EXPECT_EQ(StripBrackets("[a b]"), "a b");
  EXPECT_EQ(StripBrackets("[a"), "a");
  EXPECT_EQ(StripBrackets("'a'"), "a");
  EXPECT_EQ(StripBrackets("["), "");
}

TEST(PrependText, GivesATokenBack) {
  std::string buffer = " rest";
  PrependText(buffer, "AS");
  EXPECT_EQ(buffer, "AS rest");
  PrependText(buffer, "");
  EXPECT_EQ(buffer, "AS rest");
}

// Only blank runs between tokens may shrink: what the server reads as a value, a name or the
// end of a comment passes as it stands.
TEST(CollapseBlanks, KeepsStringsNamesAndCommentsOfTheDialect) {
  struct Case {
    ServerKind dialect;
    std::string text, collapsed;
  };
  const std::vector<Case> cases = {
      {skMySql, "INSERT INTO t VALUES ('C:\\\\DATA\\\\',  'Hauptstr.  5\tB')",
       "INSERT INTO t VALUES ('C:\\\\DATA\\\\', 'Hauptstr.  5\tB')"},
      {skMySql, "VALUES ('a\\\\',\t'b  c', 'it\\'s  x')", "VALUES ('a\\\\', 'b  c', 'it\\'s  x')"},
      {skMySql, "UPDATE t SET a=1 -- note\nWHERE id=1", "UPDATE t SET a=1 -- note\nWHERE id=1"},
      {skMySql, "UPDATE t SET a=1 -- note\r\n  WHERE id=1",
       "UPDATE t SET a=1 -- note\r\nWHERE id=1"},
      {skMySql, "SELECT a # it's\n\tFROM t", "SELECT a # it's\nFROM t"},
      {skMySql, "SELECT 1 --\tx  y\n, 2", "SELECT 1 --\tx  y\n, 2"},
      {skMySql, "SELECT 1--1,\n  2", "SELECT 1--1, 2"},
      {skMySql, "SELECT 1 --", "SELECT 1 --"},
      {skMySql, "SELECT /* it's  */  1, /*! 'x  y' */", "SELECT /* it's  */ 1, /*! 'x  y' */"},
      {skMySql, "SELECT `a  ``b'\\`  FROM  `t  #`", "SELECT `a  ``b'\\` FROM `t  #`"},
      {skMySql, "CREATE TABLE t (`a;b`  int)", "CREATE TABLE t (`a;b` int)"},
      {skPostgreSql, "SELECT 'a\\'  b'  -- x  y\n  /* c  d */  `e  f`",
       "SELECT 'a\\'  b' -- x  y\n/* c  d */ `e f`"},
      {skMsSql, "SELECT [Order  Details]  FROM  t -- c\r  x",
       "SELECT [Order  Details] FROM t -- c\rx"},
      {skGeneric, "SELECT 'C:\\'  ,  'x  y' // c  d\r\n  e", "SELECT 'C:\\' , 'x  y' // c  d\re"},
      {skInterBase, "a  'b''  c'  d", "a 'b''  c' d"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CollapseBlanks(c.text, c.dialect), c.collapsed) << int(c.dialect) << ": " << c.text;
  }
}

TEST(CollapseBlanks, ShrinksWhiteSpaceOutsideStrings) {
  EXPECT_EQ(CollapseBlanks("a \t\r\n b"), "a b");
  EXPECT_EQ(CollapseBlanks("\n\nx  "), " x ");
  EXPECT_EQ(CollapseBlanks("'a  \t b'  c"), "'a  \t b' c");
  EXPECT_EQ(CollapseBlanks(R"('it\'s  x'  y)"), R"('it\'s  x' y)");
  EXPECT_EQ(CollapseBlanks("\"a ' \n b\"\t\tc"), "\"a ' \n b\" c");
  EXPECT_EQ(CollapseBlanks(""), "");
}

TEST(NameComparison, IgnoresCaseOrComparesPrefixes) {
  const std::vector<std::string> list = {"Id", "NAME", "name"};
  EXPECT_EQ(IndexOfName(list, "name"), 1);
  EXPECT_EQ(IndexOfName(list, "id"), 0);
  EXPECT_EQ(IndexOfName(list, "x"), -1);
  EXPECT_TRUE(SameName("Select", "SELECT"));
  EXPECT_FALSE(SameName("Select", "SELECTS"));
  EXPECT_TRUE(SamePrefix("PRI", "PRIMARY"));
  EXPECT_TRUE(SamePrefix("PRIMARY", "PRI"));
  EXPECT_FALSE(SamePrefix("PRIMARY", "pri"));
  EXPECT_FALSE(SamePrefix("", "PRIMARY"));
  EXPECT_FALSE(SamePrefix("x", ""));
  EXPECT_TRUE(SamePrefix("", ""));
}

TEST(ScaleFromTypeName, TakesTheThirdWord) {
  EXPECT_EQ(ScaleFromTypeName("decimal(10,2)"), 2);
  EXPECT_EQ(ScaleFromTypeName("decimal(12,0) unsigned"), 0);
  EXPECT_EQ(ScaleFromTypeName("double(8.3)"), 3);
  EXPECT_EQ(ScaleFromTypeName("decimal"), 4);
  EXPECT_EQ(ScaleFromTypeName("float(7)"), 4);
  EXPECT_EQ(ScaleFromTypeName("decimal(10,x)"), 4);
  EXPECT_EQ(ScaleFromTypeName(""), 4);
}

}  // namespace
}  // namespace tabulix
