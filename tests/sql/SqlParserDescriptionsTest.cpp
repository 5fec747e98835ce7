#include <gtest/gtest.h>

#include "framework/Exceptions.h"
#include "sql/SqlFields.h"
#include "sql/SqlIndices.h"
#include "sql/SqlParserOptions.h"
#include "sql/SqlParserParams.h"

namespace tabulix {
namespace {

TEST(SqlFields, AddCutsTextsAndDropsTheDefaultOfAutoIncrementColumns) {
  TSqlFields fields;
  // Names keep up to 64 characters, as the server allows; cuts count characters, not bytes.
  std::string umlauts;
  for (int i = 0; i < 65; ++i) umlauts += "\xC3\xA4";  // 65 x "ä"
  fields.Add({.TableName = std::string(70, 't'),
              .FieldName = std::string(65, 'f'),
              .Alias = umlauts,
              .TypeName = std::string(300, 'x'),
              .DefaultValue = "'7'"});
  fields.Add({.FieldName = "id", .AutoIncKind = 1, .DefaultValue = "'0'"});
  fields.Add({.FieldName = "id3", .AutoIncKind = 3, .DefaultValue = "'0'"});
  EXPECT_EQ(fields[0].TableName, std::string(64, 't'));
  EXPECT_EQ(fields[0].FieldName, std::string(64, 'f'));
  EXPECT_EQ(fields[0].Alias, umlauts.substr(0, 128));
  EXPECT_EQ(fields[0].TypeName.size(), 255u);
  EXPECT_EQ(fields[0].DefaultValue, "'7'");
  EXPECT_EQ(fields[1].DefaultValue, "");
  EXPECT_EQ(fields[2].DefaultValue, "");
  EXPECT_THROW(fields[3], EListError);
}

TEST(SqlFields, FindIgnoresCaseAndAnEmptyTableMatchesAny) {
  TSqlFields fields;
  fields.Add({.TableName = "t1", .FieldName = "id", .Alias = "id"});
  fields.Add({.TableName = "t2", .FieldName = "id", .Alias = "id_1"});
  EXPECT_EQ(fields.FindByName("T2", "ID"), 1);
  EXPECT_EQ(fields.FindByName("", "Id"), 0);
  EXPECT_EQ(fields.FindByName("t3", "id"), -1);
  EXPECT_EQ(fields.FindByAlias("ID_1"), 1);
  EXPECT_EQ(fields.FindByAlias("x"), -1);
  EXPECT_EQ(fields.FindByField(nullptr), -1);
}

TEST(SqlIndices, RowsOfACompositeKeyCollectIntoOneDescription) {
  TSqlIndices indices;
  indices.AddColumn("t", "PRIMARY", TIndexDesc::kPrimary, TIndexDesc::kAscending, "a");
  indices.AddColumn("t", "other", TIndexDesc::kNonUnique, TIndexDesc::kDescending, "x");
  indices.AddColumn("t", "primary", TIndexDesc::kPrimary, TIndexDesc::kAscending,
                    " 'b' ; \"c\",, d ");
  ASSERT_EQ(indices.Count(), 2);
  EXPECT_EQ(indices[0].IndexName, "primary");
  EXPECT_EQ(indices[0].Columns, (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(indices.FindByName("OTHER"), 1);
  EXPECT_EQ(indices[1].SortOrder, TIndexDesc::kDescending);

  for (int i = 0; i < 30; ++i) {
    indices.AddColumn("t", "wide", TIndexDesc::kUnique, 1, "c" + std::to_string(i));
  }
  EXPECT_EQ(indices[2].ColumnCount(), TIndexDesc::kMaxColumns);
  EXPECT_EQ(indices[2].Columns.back(), "c24");
}

TEST(SqlParserParams, AssignValuesByNameIgnoringCase) {
  TParams from;
  from.Add("A").Value = FieldValue::Integer(1);
  from.Add("b").Value = FieldValue::Bytes("x");
  TParams to;
  to.Add("a");
  to.Add("c");
  to.Add("a");
  to.AssignValues(from);
  EXPECT_EQ(to[0].Value, FieldValue::Integer(1));
  EXPECT_TRUE(to[1].Value.IsEmpty());
  EXPECT_EQ(to[2].Value, FieldValue::Integer(1));
  EXPECT_EQ(to.FindParam("C"), &to[1]);
  EXPECT_EQ(to.FindParam("d"), nullptr);
}

TEST(SqlParserOptions, DefaultsAndSetOperations) {
  TZDatasetOptions options = kDefaultDatasetOptions;
  EXPECT_TRUE(options.Contains(doHourGlass));
  EXPECT_TRUE(options.Contains(doAutoFillDefs));
  EXPECT_TRUE(options.Contains(doUseRowId));
  EXPECT_FALSE(options.Contains(doParamsAsIs));
  EXPECT_EQ(options.Bits(), (1u << 1) | (1u << 3) | (1u << 7));
  options.Include(doRefreshBeforeEdit).Exclude(doHourGlass);
  EXPECT_TRUE(options.Contains(doRefreshBeforeEdit));
  EXPECT_FALSE(options.Contains(doHourGlass));
  EXPECT_EQ(options.Bits() >> 11, 1u);
}

}  // namespace
}  // namespace tabulix
