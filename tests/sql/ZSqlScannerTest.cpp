#include "sql/ZSqlScanner.h"

#include <gtest/gtest.h>

#include "ScannerTokens.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace tabulix {
namespace {

using namespace std::string_literals;
using test::ReadAll;
using test::Tokens;

struct Statement {
  std::string text;
  int position, length, line;
  friend bool operator==(const Statement&, const Statement&) = default;
};

std::ostream& operator<<(std::ostream& os, const Statement& s) {
  return os << '[' << s.text << "] at " << s.position << '+' << s.length << " line " << s.line;
}

// Every statement of the script as the batch execution reads it, the final empty one left out.
std::vector<Statement> Statements(TZSqlScanner& scanner, std::string_view script) {
  scanner.SetText(script);
  std::vector<Statement> out;
  for (int guard = 0; guard < 1000; ++guard) {
    Statement s;
    scanner.ExtractStatement(s.position, s.length, s.text, s.line);
    if (s.text.empty()) break;
    out.push_back(s);
  }
  return out;
}

std::vector<std::string> Texts(std::uint8_t dialect, std::string_view script,
                               bool showLineBreaks = true) {
  auto scanner = CreateSqlScanner(dialect);
  scanner->SetShowLineBreaks(showLineBreaks);
  std::vector<std::string> out;
  for (auto& s : Statements(*scanner, script)) out.push_back(s.text);
  return out;
}

TEST(TZSqlScanner, Factory) {
  struct Case {
    std::uint8_t code, dialect;
  };
  for (Case c : std::vector<Case>{{0, 0},
                                  {1, 1},
                                  {2, 2},
                                  {3, 3},
                                  {4, 4},
                                  {5, 0},
                                  {6, 0},
                                  {129, 1},
                                  {132, 4},
                                  {128, 0},
                                  {255, 0}}) {
    auto scanner = CreateSqlScanner(c.code);
    ASSERT_NE(scanner, nullptr);
    EXPECT_EQ(scanner->SqlDialect(), c.dialect) << int(c.code);
  }
  EXPECT_NE(dynamic_cast<TZMySqlScanner*>(CreateSqlScanner(0).get()), nullptr);
  EXPECT_NE(dynamic_cast<TZPgSqlScanner*>(CreateSqlScanner(1).get()), nullptr);
  EXPECT_NE(dynamic_cast<TZIbSqlScanner*>(CreateSqlScanner(2).get()), nullptr);
  EXPECT_NE(dynamic_cast<TZMsSqlScanner*>(CreateSqlScanner(3).get()), nullptr);
  EXPECT_NE(dynamic_cast<TZOraSqlScanner*>(CreateSqlScanner(4).get()), nullptr);
  EXPECT_EQ(TZSqlScanner().SqlDialect(), 6);
}

TEST(TZSqlScanner, WordsNumbersAndKeywords) {
  TZSqlScanner scanner;
  Tokens want = {{tkKeyword, "SELECT"}, {tkKeyword, "Select"}, {tkKeyword, "select"},
                 {tkWord, "selected"},  {tkWord, "t1.name"},   {tkFloat, "1.5"},
                 {tkFloat, ".5"},       {tkInteger, "1e5"},    {tkWord, "$x_1"},
                 {tkUnknown, "\xe4"},   {tkWord, "b"}};
  EXPECT_EQ(ReadAll(scanner,
                    "SELECT Select select selected t1.name 1.5 .5 1e5 $x_1 \xe4"
                    "b"),
            want);
  scanner.SetFindKeywords(false);
  EXPECT_EQ(ReadAll(scanner, "select"), (Tokens{{tkWord, "select"}}));
}

TEST(TZSqlScanner, OperatorsBracketsSeparators) {
  TZSqlScanner scanner;
  Tokens want = {{tkOperator, "<>"}, {tkOperator, "="},  {tkOperator, ">"},  {tkOperator, ">="},
                 {tkOperator, "<="}, {tkOperator, "<"},  {tkOperator, "!"},  {tkBracket, "{"},
                 {tkBracket, "]"},   {tkSeparator, ":"}, {tkSeparator, ","}, {tkUnknown, "`"},
                 {tkUnknown, "\\"},  {tkUnknown, "&"},   {tkOperator, "#"},  {tkOperator, "-"}};
  EXPECT_EQ(ReadAll(scanner, "<> => >= <= < !{]:,`\\&#-"), want);
}

TEST(TZSqlScanner, GenericStringsAndComments) {
  TZSqlScanner scanner;
  Tokens want = {{tkString, "'it''s'"},
                 {tkComment, "// note\r"},
                 {tkLf, "\n"},
                 {tkComment, "/* a\r\n b */"},
                 {tkString, "\"x\"\"y\""},
                 {tkOperator, "-"},
                 {tkOperator, "-"},
                 {tkString, "'open"}};
  EXPECT_EQ(ReadAll(scanner, "'it''s' // note\r\n/* a\r\n b */\"x\"\"y\" -- 'open"), want);
  EXPECT_EQ(scanner.Line(), 3);
  EXPECT_EQ(ReadAll(scanner, "/*/ x"), (Tokens{{tkComment, "/*/"}, {tkWord, "x"}}));
  EXPECT_EQ(ReadAll(scanner, "/* open"), (Tokens{{tkComment, "/* open"}}));
}

TEST(TZSqlScanner, NextTokenHidesCommentsAndLineBreaks) {
  TZSqlScanner scanner;
  scanner.SetText("a /* c */\r\nb");
  int position = 0, line = 0;
  std::string token;
  EXPECT_EQ(scanner.NextToken(position, line, token), tkWord);
  EXPECT_EQ(scanner.NextToken(position, line, token), tkWord);
  EXPECT_EQ(token, "b");
  EXPECT_EQ(line, 2);
  scanner.SetShowComments(true);
  scanner.SetText("a /* c */");
  scanner.NextToken(position, line, token);
  EXPECT_EQ(scanner.NextToken(position, line, token), tkComment);
  EXPECT_EQ(position, 3);
}

TEST(TZSqlScanner, QuoteAndUnquoteDoubleTheQuote) {
  TZSqlScanner scanner;
  EXPECT_EQ(scanner.QuoteText("it's"), "'it''s'");
  EXPECT_EQ(scanner.UnquoteText("'it''s'"), "it's");
  EXPECT_EQ(scanner.UnquoteText("'say \"hi\"'"), "say \"hi\"");
  EXPECT_EQ(scanner.UnquoteText("\"a\"\"b\""), "a\"b");
  EXPECT_EQ(scanner.UnquoteText("plain"), "plain");
  EXPECT_EQ(scanner.UnquoteText(scanner.QuoteText("''x'")), "''x'");
  scanner.SetKeepQuotes(false);
  scanner.SetText("'it''s'");
  int position = 0, line = 0;
  std::string token;
  EXPECT_EQ(scanner.NextToken(position, line, token), tkString);
  EXPECT_EQ(token, "it's");
}

TEST(TZMySqlScanner, CommentsAndStrings) {
  TZMySqlScanner scanner;
  Tokens want = {{tkString, "'it\\'s'"}, {tkComment, "# x\r"},  {tkLf, "\n"},
                 {tkComment, "-- y\n"},  {tkOperator, "/"},     {tkOperator, "*"},
                 {tkWord, "z"},          {tkString, "'a\\\\'"}, {tkWord, "b"}};
  EXPECT_EQ(ReadAll(scanner, "'it\\'s' # x\r\n-- y\n/*z 'a\\\\'b"), want);
  EXPECT_EQ(ReadAll(scanner, "'it''s'"), (Tokens{{tkString, "'it'"}, {tkString, "'s'"}}));
  EXPECT_EQ(ReadAll(scanner, "'end\\"), (Tokens{{tkString, "'end\\"}}));
}

TEST(TZMySqlScanner, BackquotedNamesAndDashesAsTheServerReadsThem) {
  TZMySqlScanner scanner;
  const Tokens want = {
      {tkWord, "`a;b`"},      {tkWord, "`Invoice #`"}, {tkWord, "`it's \\`"}, {tkWord, "`x``y`"},
      {tkInteger, "1"},       {tkOperator, "-"},       {tkOperator, "-"},     {tkInteger, "1"},
      {tkComment, "--\t1\n"}, {tkComment, "-- c\r"},   {tkLf, "\n"},          {tkWord, "`open"}};
  EXPECT_EQ(ReadAll(scanner, "`a;b` `Invoice #` `it's \\` `x``y` 1--1 --\t1\n-- c\r\n`open"), want);
  EXPECT_EQ(ReadAll(scanner, "--"), (Tokens{{tkComment, "--"}}));
}

TEST(TZMySqlScanner, QuoteAndUnquoteUseBackslashes) {
  TZMySqlScanner scanner;
  EXPECT_EQ(scanner.QuoteText("a'b"), "'a\\'b'");
  EXPECT_EQ(scanner.UnquoteText("'a\\'b'"), "a'b");
  const std::string raw = "\0\n\r\x1a\"'\\\t\xe4"s;
  EXPECT_EQ(scanner.QuoteText(raw), "'\\0\\n\\r\\Z\\\"\\'\\\\\t\xe4'"s);
  EXPECT_EQ(scanner.UnquoteText(scanner.QuoteText(raw)), raw);
  EXPECT_EQ(scanner.UnquoteText("'a\\tb\\x'"), "atbx");
  EXPECT_EQ(scanner.UnquoteText("'ab\\"), "ab");
}

TEST(TZPgSqlScanner, DialectRules) {
  TZPgSqlScanner scanner;
  Tokens want = {
      {tkString, "'it\\'s'"}, {tkComment, "-- c\r"}, {tkComment, "/* d */"}, {tkOperator, "#"}};
  EXPECT_EQ(ReadAll(scanner, "'it\\'s' -- c\r/* d */#"), want);
  const std::string raw = "\0\t\n\r\x1a\"'\\"s;
  EXPECT_EQ(scanner.QuoteText(raw), "'\\0\\t\\n\\r\x1a\\\"\\'\\\\'"s);
  EXPECT_EQ(scanner.UnquoteText(scanner.QuoteText(raw)), raw);
  EXPECT_EQ(scanner.UnquoteText("'\\Z'"), "Z");
}

TEST(TZMsSqlScanner, DialectRules) {
  TZMsSqlScanner scanner;
  Tokens want = {{tkString, "'it''s'"},
                 {tkComment, "-- c\r"},
                 {tkComment, "/* d */"},
                 {tkOperator, "/"},
                 {tkOperator, "/"}};
  EXPECT_EQ(ReadAll(scanner, "'it''s' -- c\r/* d */ //"), want);
  EXPECT_EQ(scanner.QuoteText("it's"), "'it''s'");
}

TEST(TZIbAndOraSqlScanner, FollowTheGenericRules) {
  TZIbSqlScanner ib;
  TZOraSqlScanner ora;
  const Tokens want = {{tkString, "'it''s'"}, {tkComment, "// c"}};
  EXPECT_EQ(ReadAll(ib, "'it''s' // c"), want);
  EXPECT_EQ(ReadAll(ora, "'it''s' // c"), want);
  EXPECT_EQ(ib.QuoteText("it's"), "'it''s'");
}

TEST(ExtractStatement, SplitsAMySqlScript) {
  TZMySqlScanner scanner;
  scanner.SetShowLineBreaks(true);
  const std::string script = "create database x;\r\ndrop table y;\r\ncreate table y (a int)";
  // Each statement starts at its first word, on the line it stands on.
  std::vector<Statement> want = {{"create database x", 1, 18, 1},
                                 {"drop table y", 21, 13, 2},
                                 {"create table y (a int)", 36, 22, 3}};
  EXPECT_EQ(Statements(scanner, script), want);
  int position = 0, length = 0, line = 0;
  std::string text = "x";
  scanner.ExtractStatement(position, length, text, line);
  EXPECT_EQ(text, "");
}

TEST(ExtractStatement, SemicolonsInsideStringsAndComments) {
  EXPECT_EQ(Texts(0, "select 'a;b'; select 2"),
            (std::vector<std::string>{"select 'a;b'", "select 2"}));
  EXPECT_EQ(Texts(0, "select 1 # a;b\r\n, 2; select 3"),
            (std::vector<std::string>{"select 1 \n, 2", "select 3"}));
  // MySQL has no block comments: the ";" inside one splits.
  EXPECT_EQ(Texts(0, "select /* a;b */ 1"), (std::vector<std::string>{"select /* a", "b */ 1"}));
  EXPECT_EQ(Texts(1, "select /* a;b */ 1"), (std::vector<std::string>{"select 1"}));
  EXPECT_EQ(Texts(0, "select 'it\\'s;' ; select 2"),
            (std::vector<std::string>{"select 'it\\'s;' ", "select 2"}));
  EXPECT_EQ(Texts(0, "select 'C:\\\\'; select 2"),
            (std::vector<std::string>{"select 'C:\\\\'", "select 2"}));
  EXPECT_EQ(Texts(2, "select 'it'';'; select 2"),
            (std::vector<std::string>{"select 'it'';'", "select 2"}));
}

// Every statement reaches the server with its values and names as written; only comments and
// blank runs between tokens change.
TEST(ExtractStatement, ValuesNamesAndCommentsOfAMySqlScript) {
  struct Case {
    std::string script;
    std::vector<std::string> statements;
  };
  const std::vector<Case> cases = {
      {"create table t(`a;b` int, c int); select 2",
       {"create table t(`a;b` int, c int)", "select 2"}},
      {"select `Invoice #`, b from t;", {"select `Invoice #`, b from t"}},
      {"select `x  -- y`;", {"select `x  -- y`"}},
      {"select a# c\nfrom t", {"select a from t"}},
      {"select a# c\r\nfrom t", {"select a \nfrom t"}},
      {"select a-- c\nfrom t", {"select a from t"}},
      {"update t set a=a--1 where id=5", {"update t set a=a--1 where id=5"}},
      {R"(insert into t values ('C:\\', 'a  b;c'); select 2)",
       {R"(insert into t values ('C:\\', 'a  b;c'))", "select 2"}},
  };
  for (const auto& c : cases) EXPECT_EQ(Texts(0, c.script), c.statements) << c.script;

  // Shown comments and line breaks are normalised to CR LF, but never inside a quoted name.
  TZMySqlScanner scanner;
  scanner.SetShowComments(true);
  scanner.SetShowLineBreaks(true);
  std::vector<Statement> got = Statements(scanner, "select `a\nb` # c\nfrom t");
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].text, "select `a\nb` # c\r\nfrom t");
}

TEST(ExtractStatement, BlanksCommentsAndLineBreaks) {
  // Runs of blanks and line feeds after a token become one space; carriage returns stay.
  EXPECT_EQ(Texts(0, "  select\t\t a,\n\n  b\r\n  from t  ;"),
            (std::vector<std::string>{"select a, b\r from t "}));
  EXPECT_EQ(Texts(0, "select '  a\r\n  b'"), (std::vector<std::string>{"select '  a\r\n  b'"}));
  EXPECT_EQ(Texts(0, "-- header\r\nselect 1 -- trailing\r\n;"),
            (std::vector<std::string>{"select 1 \n"}));
}

TEST(ExtractStatement, LineCommentsEndAtABareLineFeed) {
  EXPECT_EQ(Texts(0, "-- header\nselect 1;\n# note\nselect 2;"),
            (std::vector<std::string>{"select 1", "select 2"}));
  EXPECT_EQ(Texts(3, "-- header\nselect 1"), (std::vector<std::string>{"select 1"}));
  EXPECT_EQ(Texts(0, "select 1 -- to the end"), (std::vector<std::string>{"select 1 "}));
}

TEST(ExtractStatement, EmptyStatementsDoNotEndTheScript) {
  EXPECT_EQ(Texts(0, "select 1;;\r\n ; select 2;"),
            (std::vector<std::string>{"select 1", "select 2"}));
  EXPECT_EQ(Texts(0, "# only a comment\r\n;select 2"), (std::vector<std::string>{"select 2"}));
  EXPECT_EQ(Texts(0, ";;;"), (std::vector<std::string>{}));
  EXPECT_EQ(Texts(0, ""), (std::vector<std::string>{}));
  EXPECT_EQ(Texts(0, " \r\n\t "), (std::vector<std::string>{}));
}

TEST(ExtractStatement, PositionLengthAndLine) {
  TZMySqlScanner scanner;
  scanner.SetShowLineBreaks(true);
  // "a;" ends at 2; " # c\r\n" is 3..8; ";" at 9 is passed over; the next statement starts
  // at its first token "b" (position 12, on line 3 after two line breaks) and ends with its
  // ";" at 13.
  std::vector<Statement> got = Statements(scanner, "a; # c\r\n;\r\nb;");
  std::vector<Statement> want = {{"a", 1, 2, 1}, {"b", 12, 2, 3}};
  EXPECT_EQ(got, want);
}

TEST(ExtractStatement, ShowingCommentsAndLineBreaksWritesCrLf) {
  TZSqlScanner scanner;
  scanner.SetShowComments(true);
  scanner.SetShowLineBreaks(true);
  std::vector<Statement> got = Statements(scanner, "select // c\r\n'a\nb' /* x\ny */\r1;");
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].text, "select // c\r\n 'a\nb' /* x\r\ny */\r\n1");
}

}  // namespace
}  // namespace tabulix
