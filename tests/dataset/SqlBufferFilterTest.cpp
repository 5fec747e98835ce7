#include <gtest/gtest.h>

#include "dataset/ZRecordLayout.h"
#include "dataset/ZSqlBuffer.h"
#include "tests/dataset/SqlBufferFixture.h"

namespace tabulix::test {
namespace {

using namespace record;

class SqlBufferFilterTest : public SqlBufferTest {
 protected:
  void SetUp() override {
    Bind({MakeField(0, "id", ftInteger), MakeField(1, "master", ftInteger),
          MakeField(2, "at", ftDateTime)});
    for (int i = 0; i < 6; ++i) {
      std::byte* r = buffer.AddRecord();
      buffer.SetFieldValue(r, 0, FieldValue::Integer(i));
      buffer.SetFieldValue(r, 1, FieldValue::Integer(i % 2));
    }
  }
  std::vector<int> VisibleIds() const {
    std::vector<int> ids;
    for (int i = 0; i < buffer.Count(); ++i) ids.push_back(RecordId(buffer.Items(i)));
    return ids;
  }
};

TEST_F(SqlBufferFilterTest, DeletedRecordsHideButAreFoundIncludingHidden) {
  SetRecordStatus(buffer.Items(2), ztDeleted);
  EXPECT_TRUE(buffer.FilterItem(2));
  EXPECT_EQ(VisibleIds(), (std::vector<int>{0, 1, 3, 4, 5}));
  EXPECT_EQ(buffer.IndexOfId(2), -1);
  EXPECT_EQ(buffer.IndexOfId(3), 2);            // no direct hit any more: found by search
  EXPECT_EQ(buffer.IndexOfIdWithHidden(2), 5);  // appended to the visible list
  EXPECT_EQ(VisibleIds(), (std::vector<int>{0, 1, 3, 4, 5, 2}));
  EXPECT_EQ(buffer.IndexOfIdWithHidden(42), -1);

  buffer.SetShowRecordTypes(TSqlBuffer::kDefaultShowRecordTypes | RecordTypeBit(ztDeleted));
  EXPECT_EQ(VisibleIds(), (std::vector<int>{0, 1, 2, 3, 4, 5}));
  buffer.SetShowRecordTypes(RecordTypeBit(ztDeleted));
  EXPECT_EQ(VisibleIds(), (std::vector<int>{2}));
}

TEST_F(SqlBufferFilterTest, FindByIdentifierTriesThePositionFirst) {
  EXPECT_EQ(buffer.IndexOfId(4), 4);
  std::byte* inserted = buffer.InsertRecord(0);
  EXPECT_EQ(RecordId(inserted), 6);
  EXPECT_EQ(buffer.IndexOfId(6), 0);
  EXPECT_EQ(buffer.IndexOfId(4), 5);
  EXPECT_EQ(buffer.IndexOfId(-1), -1);
}

TEST_F(SqlBufferFilterTest, StatusesOutsideTheMaskOrAbove7NeverPass) {
  SetRecordStatus(buffer.Items(0), ztInserted);
  SetRecordStatus(buffer.Items(1), ztModified);
  SetRecordStatus(buffer.Items(3), 8);
  buffer.SetShowRecordTypes(RecordTypeBit(ztInserted) | RecordTypeBit(ztModified));
  EXPECT_EQ(VisibleIds(), (std::vector<int>{0, 1}));
  buffer.SetShowRecordTypes(0xFF);
  EXPECT_EQ(VisibleIds(), (std::vector<int>{0, 1, 2, 4, 5}));
}

TEST_F(SqlBufferFilterTest, LinkFieldsMatchTheWorkRecord) {
  buffer.SetFieldValue(buffer.WorkRecord(), 1, FieldValue::Integer(1));
  buffer.SetLinkFields({1});
  buffer.Refilter();
  EXPECT_EQ(VisibleIds(), (std::vector<int>{1, 3, 5}));

  // A null link value matches only null values.
  buffer.SetNull(buffer.WorkRecord(), 1, true);
  buffer.SetNull(buffer.StorageItems(4), 1, true);
  buffer.Refilter();
  EXPECT_EQ(VisibleIds(), (std::vector<int>{4}));

  // Date-times within a second count as the same link value.
  const TDateTime at = EncodeDate(2020, 1, 2) + EncodeTime(3, 4, 5, 0);
  buffer.SetLinkFields({2});
  buffer.SetFieldValue(buffer.WorkRecord(), 2, FieldValue::DateTime(at));
  buffer.SetFieldValue(buffer.StorageItems(0), 2,
                       FieldValue::DateTime(at + EncodeTime(0, 0, 0, 900)));
  buffer.SetFieldValue(buffer.StorageItems(1), 2,
                       FieldValue::DateTime(at + EncodeTime(0, 0, 1, 100)));
  buffer.Refilter();
  EXPECT_EQ(VisibleIds(), (std::vector<int>{0}));

  buffer.SetLinkFields({});
  buffer.Refilter();
  EXPECT_EQ(buffer.Count(), 6);
}

TEST_F(SqlBufferFilterTest, TheDatasetsOwnTestComesLast) {
  owner.accept = [](const std::byte* r) { return RecordId(r) >= 4; };
  buffer.Refilter();
  EXPECT_EQ(VisibleIds(), (std::vector<int>{4, 5}));
}

TEST_F(SqlBufferFilterTest, ChangeBufferHasNoVisibilityFilter) {
  TSqlBuffer changes(owner, buffer);
  changes.TakeLayout(buffer);
  std::byte* r = changes.AddRecord();
  SetRecordStatus(r, ztDeleted);
  changes.Refilter();
  EXPECT_EQ(changes.Count(), 1);
  EXPECT_FALSE(changes.FilterRecord(r));  // the test itself still answers
}

}  // namespace
}  // namespace tabulix::test
