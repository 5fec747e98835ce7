// The two forms of a bulk unit: a LOAD DATA field means what the INSERT literal it was made
// from means, and the lines of a unit turn back into exactly the INSERT of the same rows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dataset/internal/BulkRows.h"
#include "sql/SqlValueText.h"

namespace tabulix::dataset_internal {
namespace {

std::string Quoted(const std::string& value) {
  return "'" + EscapeSqlString(value) + "'";
}

TEST(BulkRowsTest, LoadFieldsMeanWhatTheLiteralsMean) {
  struct Case {
    std::string literal;
    std::string field;  // as LOAD DATA reads it with tab, line feed and backslash escapes
  };
  const std::vector<Case> cases = {
      {"NULL", "\\N"},
      {"42", "42"},
      {"-1.5E-7", "-1.5E-7"},
      {Quoted("plain"), "plain"},
      {Quoted(""), ""},
      {Quoted("a\tb"), "a\\tb"},
      {Quoted("line\nbreak\r\n"), "line\\nbreak\\r\\n"},
      {Quoted("\\N"), "\\\\N"},  // the text \N, not NULL
      {Quoted("NULL"), "NULL"},  // the text NULL: a LOAD field without enclosure is not NULL
      {Quoted("C:\\DATA\\"), "C:\\\\DATA\\\\"},
      {Quoted(std::string("\0\x1a'\"", 4)), "\\0\\Z\\'\\\""},
      {Quoted("\\\t"), "\\\\\\t"},
      {"a\\b\tc", "a\\\\b\\tc"},  // a bare word escaped whole
  };
  for (const Case& c : cases) {
    std::string field;
    AppendLoadField(field, c.literal);
    EXPECT_EQ(field, c.field) << c.literal;
    EXPECT_EQ(field.find_first_of("\t\n"), std::string::npos) << c.literal;
    std::string back;
    AppendLiteral(
        back, field,
        KindOf(c.literal) == LiteralKind::Unknown ? LiteralKind::Bare : KindOf(c.literal));
    EXPECT_EQ(back, c.literal) << c.literal;
  }
}

TEST(BulkRowsTest, LoadLinesTurnBackIntoTheInsertOfTheSameRows) {
  const std::string head = "INSERT INTO t (a, b, c) VALUES ";
  const std::vector<std::vector<std::string>> rows = {
      {"1", Quoted("x\ty"), "NULL"},
      {"NULL", Quoted("\\N"), Quoted("z")},
      {"3", Quoted(""), Quoted("new\nline")},
      {"4", "NULL", Quoted("end\\")},
  };
  BulkRows insert(BulkRows::Form::Insert, head);
  BulkRows load(BulkRows::Form::Load, "");
  std::vector<LiteralKind> insertKinds(3, LiteralKind::Unknown);
  std::vector<LiteralKind> loadKinds(3, LiteralKind::Unknown);
  for (const auto& row : rows) {
    insert.AddRow(row, insertKinds);
    load.AddRow(row, loadKinds);
  }
  EXPECT_EQ(insert.Text(), head +
                               "(1, 'x\ty', NULL),(NULL, '\\\\N', 'z'),(3, '', 'new\\nline'),"
                               "(4, NULL, 'end\\\\')");
  EXPECT_EQ(load.Text(), "1\tx\\ty\t\\N\n\\N\t\\\\N\tz\n3\t\tnew\\nline\n4\t\\N\tend\\\\\n");
  for (std::size_t first = 0; first < rows.size(); ++first) {
    for (std::size_t last = first + 1; last <= rows.size(); ++last) {
      EXPECT_EQ(load.InsertStatement(head, first, last, loadKinds),
                insert.InsertStatement(head, first, last, insertKinds))
          << first << ".." << last;
    }
  }
  // The last row moves to the next unit with its number.
  for (BulkRows* unit : {&insert, &load}) {
    BulkRows next(unit->GetForm(), unit->GetForm() == BulkRows::Form::Insert ? head : "");
    next.Clear(99);
    const std::string whole = unit->InsertStatement(head, 3, 4, loadKinds);
    unit->MoveLastRowTo(next);
    EXPECT_EQ(unit->Count(), 3u);
    EXPECT_EQ(next.FirstRow(), 4);
    EXPECT_EQ(next.InsertStatement(head, 0, 1, loadKinds), whole);
    EXPECT_EQ(unit->InsertStatement(head, 0, 3, loadKinds),
              insert.GetForm() == unit->GetForm() ? head +
                                                        "(1, 'x\ty', NULL),(NULL, '\\\\N', "
                                                        "'z'),(3, '', 'new\\nline')"
                                                  : load.InsertStatement(head, 0, 3, loadKinds));
  }
}

}  // namespace
}  // namespace tabulix::dataset_internal
