#include <gtest/gtest.h>

#include "dataset/ZBlobBlocks.h"
#include "dataset/ZRecordLayout.h"
#include "dataset/ZSqlBuffer.h"
#include "framework/Exceptions.h"
#include "tests/dataset/SqlBufferFixture.h"

namespace tabulix::test {
namespace {

using namespace record;

constexpr int kId = 0;
constexpr int kMemo = 2;

class SqlBufferBlobTest : public SqlBufferTest {
 protected:
  void SetUp() override { Bind(IdNameMemo()); }

  std::byte* RecordWithMemo(std::string_view memo, int id = 1) {
    std::byte* record = buffer.AddRecord();
    buffer.SetFieldValue(record, kId, FieldValue::Integer(id));
    buffer.SetFieldValue(record, kMemo, FieldValue::Bytes(std::string(memo)));
    return record;
  }
  std::size_t Blocks() const { return buffer.Blocks().AllocatedCount(); }
};

TEST(BlobBlocks, ReferencesAreReusedAndStaleOnesIgnored) {
  TBlobBlocks blocks;
  auto a = blocks.Allocate("hello");
  auto b = blocks.Allocate("");
  EXPECT_EQ(a.Get(), 1u);
  EXPECT_EQ(b.Get(), 2u);
  EXPECT_EQ(blocks.View(a.Get(), 99), "hello");
  EXPECT_EQ(blocks.View(a.Get(), 2), "he");
  EXPECT_EQ(blocks.Data(a.Get())[5], '\0');  // terminating zero inside the block
  TBlobBlocks::Ref ref = a.Release();
  blocks.Free(ref);
  blocks.Free(ref);  // twice: ignored
  blocks.Free(12345);
  EXPECT_EQ(blocks.AllocatedCount(), 1u);
  EXPECT_EQ(blocks.View(ref, 5), "");
  auto c = blocks.Allocate("xyz");
  EXPECT_EQ(c.Get(), ref);  // the freed reference is handed out again
  blocks.Resize(c.Get(), 5);
  EXPECT_EQ(blocks.View(c.Get(), 5), std::string_view("xyz\0\0", 5));
  {
    auto scoped = blocks.Allocate("gone at scope end");
    EXPECT_EQ(blocks.AllocatedCount(), 3u);
  }
  EXPECT_EQ(blocks.AllocatedCount(), 2u);
}

TEST_F(SqlBufferBlobTest, SlotHoldsKindIdentifierReferenceAndLength) {
  std::byte* record = RecordWithMemo("twelve bytes");
  std::byte raw[kBlobDataSize];
  ASSERT_TRUE(buffer.GetRaw(record, kMemo, raw));
  EXPECT_EQ(Load<std::uint8_t>(raw + kBlobKindOffset), 0);
  EXPECT_EQ(Load<std::uint32_t>(raw + kBlobIdLowOffset), 0u);
  EXPECT_EQ(Load<std::uint32_t>(raw + kBlobIdHighOffset), 0u);
  EXPECT_NE(Load<std::uint32_t>(raw + kBlobRefOffset), 0u);
  EXPECT_EQ(Load<std::uint32_t>(raw + kBlobLengthOffset), 12u);
  EXPECT_EQ(buffer.BlobValue(record, kMemo), "twelve bytes");
}

TEST_F(SqlBufferBlobTest, CopyThenClearingTheSourceLeavesTheCopyIntact) {
  std::byte* source = RecordWithMemo("memo value", 5);
  std::byte* copy = buffer.AddRecord();
  buffer.CopyRecord(source, copy, true);
  EXPECT_EQ(owner.copies, 1);
  EXPECT_EQ(Blocks(), 2u);
  buffer.ClearRecord(source, true);
  EXPECT_TRUE(buffer.IsNull(source, kMemo));
  EXPECT_EQ(buffer.GetFieldValue(copy, kMemo), FieldValue::Bytes("memo value"));
  EXPECT_EQ(buffer.GetFieldValue(copy, kId), FieldValue::Integer(5));
  EXPECT_EQ(RecordId(copy), RecordId(source));  // whole copies the header
  EXPECT_EQ(Blocks(), 1u);
}

TEST_F(SqlBufferBlobTest, CopyWithoutHeaderKeepsTheDestinationsIdentity) {
  std::byte* source = RecordWithMemo("a");
  SetRecordStatus(source, ztInserted);
  std::byte* dest = buffer.AddRecord();
  const std::int32_t destId = RecordId(dest);
  buffer.CopyRecord(source, dest, false);
  EXPECT_EQ(RecordId(dest), destId);
  EXPECT_EQ(RecordStatus(dest), ztUnmodified);
  EXPECT_EQ(buffer.BlobValue(dest, kMemo), "a");
}

TEST_F(SqlBufferBlobTest, CopyOverAMemoFreesTheOldBlockAndNullMemosCopyAsNull) {
  std::byte* source = buffer.AddRecord();  // memo null
  std::byte* dest = RecordWithMemo("old");
  buffer.CopyRecord(source, dest, false);
  EXPECT_TRUE(buffer.IsNull(dest, kMemo));
  EXPECT_EQ(Blocks(), 0u);
  buffer.SetNull(dest, kMemo, false);  // a present empty value, not a stale block
  EXPECT_EQ(buffer.BlobValue(dest, kMemo), "");
  EXPECT_EQ(buffer.GetFieldValue(dest, kMemo), FieldValue::Bytes(""));
}

TEST_F(SqlBufferBlobTest, FailedCopyChangesNothingAndLeaksNothing) {
  std::byte* source = RecordWithMemo("new");
  std::byte* dest = RecordWithMemo("kept", 9);
  owner.failClear = true;
  EXPECT_THROW(buffer.CopyRecord(source, dest, true), Exception);
  owner.failClear = false;
  EXPECT_EQ(Blocks(), 2u);
  EXPECT_EQ(buffer.BlobValue(dest, kMemo), "kept");
  EXPECT_EQ(buffer.GetFieldValue(dest, kId), FieldValue::Integer(9));
  EXPECT_EQ(owner.copies, 0);
}

TEST_F(SqlBufferBlobTest, ClearRemoveAndClearAllFreeEveryBlock) {
  for (int i = 0; i < 5; ++i) RecordWithMemo(std::string(i * 10, 'x'), i);
  EXPECT_EQ(Blocks(), 5u);
  buffer.ClearRecord(buffer.Items(0), false);
  EXPECT_EQ(Blocks(), 4u);
  EXPECT_FALSE(buffer.IsNull(buffer.Items(0), kMemo));  // present, now empty
  EXPECT_EQ(buffer.BlobValue(buffer.Items(0), kMemo), "");
  buffer.RemoveRecord(1);
  EXPECT_EQ(Blocks(), 3u);
  EXPECT_EQ(buffer.Count(), 4);
  EXPECT_THROW(buffer.RemoveRecord(9), EListError);
  buffer.SetFieldValue(buffer.Items(1), kMemo, FieldValue::Bytes("replaced"));
  EXPECT_EQ(Blocks(), 3u);
  buffer.SetNull(buffer.Items(2), kMemo, true);
  EXPECT_EQ(Blocks(), 2u);
  // Hidden records own their blocks too.
  owner.accept = [&](const std::byte* r) { return RecordId(r) != 4; };
  buffer.SetShowRecordTypes(TSqlBuffer::kDefaultShowRecordTypes);
  EXPECT_EQ(buffer.Count(), 3);
  buffer.ClearBuffer(false);
  EXPECT_EQ(Blocks(), 0u);
  EXPECT_EQ(buffer.Count(), 0);
}

TEST_F(SqlBufferBlobTest, ClearAllReportsProgressOnlyWithBlobFields) {
  RecordWithMemo("a");
  RecordWithMemo("b");
  buffer.RemoveRecord(0);
  buffer.ClearBuffer(false);
  ASSERT_EQ(owner.progress.size(), 4u);
  EXPECT_EQ(owner.progress[0].stage, 0);
  EXPECT_EQ(owner.progress[1].stage, 1);
  EXPECT_EQ(owner.progress[1].position, 1);
  EXPECT_EQ(owner.progress[2].position, 2);
  EXPECT_EQ(owner.progress[3].stage, 2);
  EXPECT_EQ(owner.progress[3].max, 2);

  Bind({MakeField(0, "id", ftInteger)});
  owner.progress.clear();
  buffer.AddRecord();
  buffer.ClearBuffer(false);
  EXPECT_TRUE(owner.progress.empty());
}

TEST_F(SqlBufferBlobTest, ChangeBufferCopiesOwnTheirBlocks) {
  TSqlBuffer changes(owner, buffer);
  changes.TakeLayout(buffer);
  std::byte* main = RecordWithMemo("pending");
  std::byte* copy = changes.AddRecord();
  buffer.CopyRecord(main, copy, true);
  buffer.ClearBuffer(false);
  EXPECT_EQ(changes.BlobValue(copy, kMemo), "pending");
  EXPECT_EQ(Blocks(), 1u);
  changes.ClearBuffer(false);
  EXPECT_EQ(Blocks(), 0u);
}

TEST_F(SqlBufferBlobTest, DestroyingABufferFreesItsRecordsBlocks) {
  {
    TSqlBuffer changes(owner, buffer);
    changes.TakeLayout(buffer);
    std::byte* copy = changes.AddRecord();
    buffer.CopyRecord(RecordWithMemo("x"), copy, true);
    EXPECT_EQ(Blocks(), 2u);
  }
  EXPECT_EQ(Blocks(), 1u);
}

TEST_F(SqlBufferBlobTest, RawWritesToABlobSlotKeepItsBlock) {
  std::byte* record = RecordWithMemo("value");
  std::byte raw[kBlobDataSize] = {};
  Store<std::uint8_t>(raw + kBlobKindOffset, 2);
  Store<std::uint32_t>(raw + kBlobIdLowOffset, 77);
  Store<std::uint32_t>(raw + kBlobRefOffset, 999);  // must not be taken over
  buffer.SetRaw(record, kMemo, raw);
  EXPECT_EQ(buffer.BlobValue(record, kMemo), "value");
  std::byte back[kBlobDataSize];
  ASSERT_TRUE(buffer.GetRaw(record, kMemo, back));
  EXPECT_EQ(Load<std::uint8_t>(back + kBlobKindOffset), 2);
  EXPECT_EQ(Load<std::uint32_t>(back + kBlobIdLowOffset), 77u);
  EXPECT_EQ(Blocks(), 1u);
}

}  // namespace
}  // namespace tabulix::test

namespace tabulix::test {
namespace {

// Blob values written in place, piece by piece: the value keeps what was written, grows with
// room ahead (one block, few reallocations), shrinks back and may be present and empty.
TEST_F(SqlBufferBlobTest, BlobDataWritesInPlaceAndGrowsWithRoomAhead) {
  std::byte* record = buffer.AddRecord();
  EXPECT_EQ(buffer.BlobData(record, kMemo, 0), nullptr);
  EXPECT_FALSE(buffer.IsNull(record, kMemo));  // present and empty
  EXPECT_EQ(buffer.BlobValue(record, kMemo), "");
  std::string expected;
  const char* moved = nullptr;
  int moves = 0;
  for (int i = 0; i < 1000; ++i) {
    const std::string piece = std::to_string(i) + ",";
    const auto at = static_cast<std::uint32_t>(expected.size());
    char* data = buffer.BlobData(record, kMemo, at + static_cast<std::uint32_t>(piece.size()));
    if (data != moved) ++moves;
    moved = data;
    std::memcpy(data + at, piece.data(), piece.size());
    expected += piece;
  }
  EXPECT_EQ(buffer.BlobValue(record, kMemo), expected);
  EXPECT_LT(moves, 20);
  EXPECT_EQ(Blocks(), 1u);
  std::memcpy(buffer.BlobData(record, kMemo, 3), "abc", 3);
  EXPECT_EQ(buffer.BlobValue(record, kMemo), "abc");
  EXPECT_EQ(buffer.BlobData(record, kMemo, 5)[4], '\0');  // regrown bytes are zero
  buffer.SetNull(record, kMemo, true);
  EXPECT_EQ(Blocks(), 0u);
}

// Records dropped right after they were appended give their slot and identifier back, and an
// emptied change buffer keeps its page: an append-only run holds one page however long it is.
TEST_F(SqlBufferBlobTest, DroppingAppendedRecordsKeepsStorageFlat) {
  RecordWithMemo("kept", 0);
  for (int i = 0; i < 2000; ++i) {
    std::byte* record = RecordWithMemo("memo", i);
    EXPECT_EQ(RecordId(record), 1);
    EXPECT_TRUE(buffer.DropRecord(buffer.Count() - 1));
  }
  EXPECT_EQ(buffer.StorageCount(), 1);
  EXPECT_EQ(buffer.PageCount(), 1);
  EXPECT_EQ(Blocks(), 1u);
  // A record that is not the last stored one is removed but its slot stays taken.
  RecordWithMemo("second", 2);
  EXPECT_FALSE(buffer.DropRecord(0));
  EXPECT_EQ(buffer.StorageCount(), 2);

  TSqlBuffer changes(owner, buffer);
  changes.TakeLayout(buffer);
  for (int i = 0; i < 600; ++i) changes.CopyRecord(buffer.Items(0), changes.AddRecord(), true);
  EXPECT_EQ(changes.PageCount(), 2);
  changes.EmptyRecords();
  EXPECT_EQ(changes.Count(), 0);
  EXPECT_EQ(changes.PageCount(), 1);
  EXPECT_EQ(changes.NextId(), 0);
  EXPECT_EQ(Blocks(), 1u);  // the copies' memo blocks went with them
}

}  // namespace
}  // namespace tabulix::test
