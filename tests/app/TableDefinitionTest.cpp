#include "app/core/TableDefinition.h"

#include <gtest/gtest.h>

namespace tabulix::app {
namespace {

FieldGridRow Char(const std::string& name, const std::string& length) {
  return {name, "char", length, length.empty() ? "char(0)" : "char(" + length + ")", ""};
}
FieldGridRow AutoInc(const std::string& name) {
  return {name, "autoincr", "", "int not null auto_increment", "KEY"};
}
FieldGridRow Int(const std::string& name) {
  return {name, "32Bit-Int", "", "int", ""};
}
FieldGridRow Memo(const std::string& name) {
  return {name, "memo", "", "mediumtext", ""};
}

TEST(TableDefinition, ForbiddenDatabaseNames) {
  const struct {
    const char* typed;
    bool forbidden;
  } cases[] = {
      {"mysql", true}, {"MySql ", true},   {"  MYSQL\t", true}, {"", true},
      {"   ", true},   {"\r\n", true},     {"mysql2", false},   {"my sql", false},
      {"shop", false}, {"mysqlx ", false}, {"_mysql", false},   {"m\xC3\xBCsql", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsForbiddenDatabaseName(c.typed), c.forbidden) << "'" << c.typed << "'";
  }
}

TEST(TableDefinition, CreateTableTexts) {
  const std::vector<FieldGridRow> orders = {AutoInc("ID"), Char("Name", "20"), Memo("Notes")};
  const struct {
    const char* what;
    std::string table;
    std::vector<FieldGridRow> rows;
    std::size_t n;
    std::string expected;
  } cases[] = {
      {"with the key", "orders", orders, 3,
       "create table if not exists orders(ID int not null auto_increment,Name char(20),"
       "Notes mediumtext, PRIMARY KEY (ID))"},
      {"without key",
       "orders",
       {Int("ID"), Char("Name", "20"), Memo("Notes")},
       3,
       "create table if not exists orders(ID int,Name char(20),Notes mediumtext)"},
      {"key on the third field only",
       "t",
       {Int("A"), Int("B"), AutoInc("C")},
       3,
       "create table if not exists t(A int,B int,C int not null auto_increment, PRIMARY KEY (C))"},
      {"two keys",
       "t",
       {AutoInc("ID"), AutoInc("Nr")},
       2,
       "create table if not exists t(ID int not null auto_increment,Nr int not null "
       "auto_increment, PRIMARY KEY (ID,Nr))"},
      {"no table open", "t", orders, 0, "create table if not exists t)"},
      {"only the first n rows", "t", orders, 2,
       "create table if not exists t(ID int not null auto_increment,Name char(20), PRIMARY KEY "
       "(ID))"},
      {"empty table name", "", {Int("A")}, 1, "create table if not exists (A int)"},
      {"a row without type keeps its blank",
       "t",
       {{"B", "", "", "", ""}, Int("A")},
       2,
       "create table if not exists t(B ,A int)"},
      {"length 0", "t", {Char("E", "")}, 1, "create table if not exists t(E char(0))"},
      {"names with blanks and #, a backtick, a duplicate",
       "Kunden",
       {AutoInc("Species No"), Char("Nr#", "5"), Char("a`b", "1"), Int("species no")},
       4,
       "create table if not exists Kunden(`Species No` int not null auto_increment,`Nr#` "
       "char(5),`a``b` char(1),`species no_2` int, PRIMARY KEY (`Species No`))"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(BuildTableDefinition(c.table, c.rows, c.n), c.expected) << c.what;
  }
}

TEST(TableDefinition, RepeatedNamesGetTheFirstFreeSuffixIgnoringCaseInEveryScript) {
  const struct {
    std::vector<std::string> names;
    std::vector<std::string> expected;
  } cases[] = {
      {{"Point_ID", "Type", "Point_ID"}, {"Point_ID", "Type", "Point_ID_2"}},
      {{"A", "a", "A"}, {"A", "a_2", "A_3"}},
      // A name that a suffix would give keeps it; the repeated one takes the next.
      {{"A", "a", "A_2"}, {"A", "a_3", "A_2"}},
      {{"x_2", "X", "x"}, {"x_2", "X", "x_3"}},
      // Umlauts, Greek and Cyrillic letters compare without case; accents and ß do not.
      {{"Größe", "GRÖßE", "Grosse"}, {"Größe", "GRÖßE_2", "Grosse"}},
      {{"é", "e", "É"}, {"é", "e", "É_2"}},
      {{"ω", "Ω", "д", "Д"}, {"ω", "Ω_2", "д", "Д_2"}},
      {{"Łódź", "ŁÓDŹ", "ёж", "ЁЖ", "ÿ", "Ÿ", "ς", "Σ"},
       {"Łódź", "ŁÓDŹ_2", "ёж", "ЁЖ_2", "ÿ", "Ÿ_2", "ς", "Σ"}},
      {{"", ""}, {"", "_2"}},
  };
  for (const auto& c : cases) {
    std::vector<FieldGridRow> rows;
    for (const std::string& name : c.names) rows.push_back(Int(name));
    EXPECT_EQ(TargetColumnNames(rows, rows.size()), c.expected);
  }
  EXPECT_EQ(ColumnNameKey("straße Ä\xFF"), "STRAßE Ä\xFF");
}

}  // namespace
}  // namespace tabulix::app
