#include <gtest/gtest.h>

#include "dataset/ZRecordLayout.h"
#include "dataset/ZSqlBuffer.h"
#include "framework/Exceptions.h"
#include "tests/dataset/SqlBufferFixture.h"

namespace tabulix::test {
namespace {

using namespace record;

// A string of 30 characters holds up to 4 bytes per character: 121 bytes with the terminator.
TEST_F(SqlBufferTest, IntegerStringAndMemoGiveSlotsOf5_122_18AndA161ByteRecord) {
  Bind(IdNameMemo());
  const TSqlFields& fields = buffer.SqlFields();
  ASSERT_EQ(fields.Count(), 3);
  EXPECT_EQ(fields[0].DataSize, 4);
  EXPECT_EQ(fields[1].DataSize, 121);
  EXPECT_EQ(fields[2].DataSize, 17);
  EXPECT_EQ(fields[0].Offset, 0);
  EXPECT_EQ(fields[1].Offset, 5);
  EXPECT_EQ(fields[2].Offset, 5 + 122);
  EXPECT_EQ(buffer.RecordSize(), 161);
  EXPECT_EQ(buffer.ItemSize(), 162);
  EXPECT_EQ(buffer.BlobCount(), 1);
  std::byte* a = buffer.AddRecord();
  std::byte* b = buffer.AddRecord();
  EXPECT_EQ(b - a, 163);  // item plus its tag
}

TEST_F(SqlBufferTest, SlotSizesFollowTheValueFormats) {
  struct Case {
    TFieldType type;
    int size;
    int slot;
  };
  const Case cases[] = {{ftSmallint, 0, 5}, {ftBoolean, 0, 5},  {ftFloat, 0, 9},
                        {ftCurrency, 0, 9}, {ftBCD, 4, 9},      {ftDate, 0, 5},
                        {ftTime, 0, 5},     {ftDateTime, 0, 9}, {ftAutoInc, 0, 5},
                        {ftLargeint, 0, 9}, {ftString, 1, 6},   {ftString, 4, 18},
                        {ftBlob, 0, 18},    {ftGraphic, 0, 18}, {ftFmtMemo, 0, 18}};
  for (const Case& c : cases) {
    Bind({MakeField(0, "f", c.type, c.size)});
    EXPECT_EQ(buffer.RecordSize(), kHeaderSize + c.slot) << c.type << "/" << c.size;
  }
}

TEST_F(SqlBufferTest, FreshRecordIsNullEverywhereWithHeaderSet) {
  Bind(IdNameMemo());
  std::byte* first = buffer.AddRecord();
  std::byte* second = buffer.AddRecord();
  EXPECT_EQ(first[kMarkerOffset], std::byte{kRecordMarker});
  EXPECT_EQ(RecordId(first), 0);
  EXPECT_EQ(RecordId(second), 1);
  EXPECT_EQ(RecordStatus(first), ztUnmodified);
  EXPECT_EQ(first[kBookmarkFlagOffset], std::byte{0});
  for (int f = 0; f < 3; ++f) {
    EXPECT_TRUE(buffer.IsNull(first, f));
    EXPECT_TRUE(buffer.GetFieldValue(first, f).IsNull());
  }
  // Framework record buffers draw identifiers from the same counter; a work record takes none.
  std::vector<std::byte> frameworkBuffer(static_cast<std::size_t>(buffer.RecordSize()));
  buffer.InitRecord(frameworkBuffer.data());
  EXPECT_EQ(RecordId(frameworkBuffer.data()), 2);
  buffer.InitWorkRecord(frameworkBuffer.data());
  EXPECT_EQ(RecordId(frameworkBuffer.data()), TSqlBuffer::kNoRecordId);
  EXPECT_TRUE(buffer.IsNull(frameworkBuffer.data(), 1));
  EXPECT_EQ(RecordId(buffer.InsertRecord(0)), 3);
  buffer.ClearBuffer(false);
  EXPECT_EQ(RecordId(buffer.AddRecord()), 0);
}

TEST_F(SqlBufferTest, DescriptionsComeFromTheAnalyserByAlias) {
  TSqlFields analyser;
  analyser.Add({.TableName = "t",
                .FieldName = "ID",
                .Alias = "Key",
                .TypeName = "int(11)",
                .Size = 11,
                .AutoIncKind = 1,
                .DefaultValue = "'5'"});
  analyser.Add({.TableName = "t",
                .FieldName = "name",
                .Alias = "name",
                .TypeName = "varchar(30)",
                .Size = 30,
                .Nullable = true,
                .DefaultValue = "'x'"});
  std::vector<TBufferField> fields = {MakeField(0, "KEY", ftAutoInc),
                                      MakeField(1, "calc", ftString, 10),
                                      MakeField(2, "Name", ftString, 30)};
  fields[1].FieldNo = 0;  // no result column
  fields[1].Required = true;
  buffer.BindFields(analyser, fields);

  const TSqlFields& built = buffer.SqlFields();
  ASSERT_EQ(built.Count(), 3);
  EXPECT_EQ(built[0].FieldName, "ID");
  EXPECT_EQ(built[0].TableName, "t");
  EXPECT_EQ(built[0].DefaultValue, "");  // auto-increment columns keep no default
  EXPECT_EQ(built[0].FieldType, ftAutoInc);
  EXPECT_EQ(built[0].Field, FieldObject(0));
  EXPECT_EQ(built[0].ColumnIndex, 0);
  EXPECT_EQ(built[1].TableName, "");
  EXPECT_EQ(built[1].FieldName, "");
  EXPECT_EQ(built[1].Alias, "calc");
  EXPECT_FALSE(built[1].Nullable);
  EXPECT_EQ(built[1].ColumnIndex, -1);
  EXPECT_EQ(built[2].DefaultValue, "'x'");
  EXPECT_EQ(built[2].Field, FieldObject(2));
  EXPECT_EQ(buffer.FieldIndexOf(FieldObject(2)), 2);
  // The analyser's own list is left as it was.
  EXPECT_EQ(analyser[0].Field, nullptr);
}

TEST_F(SqlBufferTest, FieldWithoutFieldObjectIsAFatalErrorAndKeepsTheOldLayout) {
  Bind(IdNameMemo());
  // A field object of its own, so that the ones of the kept layout stay alive.
  std::vector<TBufferField> broken = {MakeField(3, "id", ftInteger)};
  broken[0].Field = nullptr;
  EXPECT_THROW(
      {
        try {
          Bind(broken);
        } catch (const EDatabaseError& e) {
          EXPECT_EQ(e.Message(), "Fatal internal error");
          throw;
        }
      },
      EDatabaseError);
  EXPECT_EQ(buffer.RecordSize(), 161);
  auto stray = CreateFieldForType(ftInteger);
  EXPECT_THROW(buffer.FieldIndexOf(stray.get()), EDatabaseError);
}

TEST_F(SqlBufferTest, IndexCopyKeepsOnlyColumnsThatHaveFields) {
  TSqlFields analyser;
  analyser.Add({.TableName = "t", .FieldName = "id", .Alias = "id"});
  analyser.Add({.TableName = "t", .FieldName = "name", .Alias = "name"});
  buffer.BindFields(analyser, std::vector<TBufferField>{MakeField(0, "id", ftInteger),
                                                        MakeField(1, "name", ftString, 5)});
  TSqlIndices indices;
  indices.Add({.TableName = "t",
               .IndexName = "PRIMARY",
               .Columns = {"ID", "name"},
               .KeyType = TIndexDesc::kPrimary});
  indices.Add({.TableName = "t",
               .IndexName = "u",
               .Columns = {"name", "born"},
               .KeyType = TIndexDesc::kUnique,
               .SortOrder = TIndexDesc::kDescending});
  indices.Add(
      {.TableName = "t", .IndexName = "gone", .Columns = {"born"}, .KeyType = TIndexDesc::kUnique});
  indices.Add(
      {.TableName = "other", .IndexName = "o", .Columns = {"id"}, .KeyType = TIndexDesc::kPrimary});
  buffer.BindIndices(indices);

  const TSqlIndices& copied = buffer.SqlIndices();
  ASSERT_EQ(copied.Count(), 2);
  EXPECT_EQ(copied[0].Columns, (std::vector<std::string>{"ID", "name"}));
  EXPECT_EQ(copied[0].KeyType, TIndexDesc::kPrimary);
  EXPECT_EQ(copied[1].Columns, (std::vector<std::string>{"name"}));
  EXPECT_EQ(copied[1].KeyType, TIndexDesc::kNonUnique);
  EXPECT_EQ(copied[1].SortOrder, TIndexDesc::kDescending);
}

TEST_F(SqlBufferTest, ChangeBufferSharesDescriptionsAndTakesTheLayout) {
  TSqlBuffer changes(owner, buffer);
  Bind(IdNameMemo());
  EXPECT_EQ(&changes.SqlFields(), &buffer.SqlFields());
  EXPECT_EQ(&changes.Blocks(), &buffer.Blocks());
  EXPECT_FALSE(changes.HasLayout());
  changes.TakeLayout(buffer);
  EXPECT_EQ(changes.RecordSize(), 161);
  std::byte* record = changes.AddRecord();
  changes.SetFieldValue(record, 0, FieldValue::Integer(4));
  EXPECT_EQ(changes.GetFieldValue(record, 0), FieldValue::Integer(4));

  // A new layout of the main buffer invalidates the change buffer's until it takes it again.
  Bind({MakeField(0, "id", ftInteger)});
  EXPECT_THROW(changes.GetFieldValue(record, 0), EDatabaseError);
  changes.TakeLayout(buffer);
  EXPECT_EQ(changes.Count(), 0);
}

TEST_F(SqlBufferTest, FullClearDropsLayoutAndDescriptions) {
  Bind(IdNameMemo());
  buffer.SqlIndices().Add({.TableName = "t", .IndexName = "i", .Columns = {"id"}});
  buffer.AddRecord();
  buffer.SetSort("id", TSqlBuffer::kSortDescending);
  buffer.SetLinkFields({0});
  buffer.ClearBuffer(true);
  EXPECT_FALSE(buffer.HasLayout());
  EXPECT_EQ(buffer.SqlFields().Count(), 0);
  EXPECT_EQ(buffer.SqlIndices().Count(), 0);
  EXPECT_TRUE(buffer.SortFields().empty());
  EXPECT_TRUE(buffer.LinkFields().empty());
  EXPECT_EQ(buffer.WorkRecord(), nullptr);
  EXPECT_THROW(buffer.AddRecord(), EDatabaseError);
}

}  // namespace
}  // namespace tabulix::test
