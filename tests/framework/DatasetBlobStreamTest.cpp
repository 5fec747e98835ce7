#include <gtest/gtest.h>

#include "DatasetFake.h"
#include "framework/TMemoryStream.h"

namespace tabulix::test {
namespace {

class DatasetBlobStreamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ds.AddRow({FieldValue::Integer(1), FieldValue::Bytes("0123456789")});
    ds.AddRow({FieldValue::Integer(2), FieldValue::Null()});
    ds.Open();
  }
  TField& Memo() { return ds.Fields(1); }
  DatasetFake ds{{{"ID", ftInteger}, {"Text", ftMemo}}};
};

TEST_F(DatasetBlobStreamTest, ReadsTheContentInPieces) {
  auto s = ds.CreateBlobStream(Memo(), bmRead);
  EXPECT_EQ(s->Size(), 10);
  char buf[4];
  EXPECT_EQ(s->Read(buf, 4), 4u);
  EXPECT_EQ(std::string(buf, 4), "0123");
  s->Seek(-2, soEnd);
  EXPECT_EQ(s->ReadRest(), "89");
  EXPECT_EQ(s->Read(buf, 4), 0u);
  EXPECT_EQ(s->Write("x", 1), 0u);  // read mode does not write
}

TEST_F(DatasetBlobStreamTest, NullBlobReadsNothingAndHasSizeZero) {
  ds.Next();
  auto s = ds.CreateBlobStream(Memo(), bmRead);
  EXPECT_EQ(s->Size(), 0);
  EXPECT_EQ(s->ReadRest(), "");
}

TEST_F(DatasetBlobStreamTest, WritingNeedsEditOrInsertState) {
  try {
    ds.CreateBlobStream(Memo(), bmWrite);
    FAIL() << "no exception";
  } catch (const EDatabaseError& e) {
    EXPECT_STREQ(e.what(), "Datenmenge befindet sich nicht im Bearbeitungs- oder Einfügemodus");
  }
  EXPECT_THROW(ds.CreateBlobStream(Memo(), bmReadWrite), EDatabaseError);
}

TEST_F(DatasetBlobStreamTest, WriteModeReplacesTheWholeValue) {
  ds.Edit();
  {
    auto s = ds.CreateBlobStream(Memo(), bmWrite);
    EXPECT_EQ(s->Size(), 0);
    s->Write(std::string_view("abc"));
    s->Flush();
  }
  EXPECT_EQ(ds.work.values[1], FieldValue::Bytes("abc"));
  EXPECT_TRUE(ds.Modified());
}

TEST_F(DatasetBlobStreamTest, WriteModeWithNothingWrittenLeavesAnEmptyPresentValue) {
  ds.Edit();
  ds.CreateBlobStream(Memo(), bmWrite).reset();  // flushed on destruction
  EXPECT_FALSE(Memo().IsNull());
  EXPECT_EQ(ds.work.values[1], FieldValue::Bytes(""));
}

TEST_F(DatasetBlobStreamTest, ReadWriteOverwritesWithoutShrinking) {
  ds.Edit();
  auto s = ds.CreateBlobStream(Memo(), bmReadWrite);
  s->Write(std::string_view("abc"));
  s->Flush();
  EXPECT_EQ(ds.work.values[1], FieldValue::Bytes("abc3456789"));
  s->Seek(0, soEnd);
  s->Write(std::string_view("!"));
  s->Flush();
  EXPECT_EQ(ds.work.values[1], FieldValue::Bytes("abc3456789!"));
  ds.Post();
  EXPECT_EQ(ds.rows[0].values[1], FieldValue::Bytes("abc3456789!"));
}

TEST_F(DatasetBlobStreamTest, FlushTellsTheLinksOfTheFieldChange) {
  RecordingLink link;
  link.SetDataSet(&ds);
  ds.Edit();
  auto s = ds.CreateBlobStream(Memo(), bmWrite);
  s->Write(std::string_view("z"));
  s->Flush();
  s->Flush();  // nothing new: no second notice
  EXPECT_EQ(std::count(link.events.begin(), link.events.end(), "record Text"), 1);
}

TEST_F(DatasetBlobStreamTest, WithoutActiveRecordTheStreamIsEmptyMemory) {
  ds.Close();
  DatasetFake empty{{{"Text", ftMemo}}};
  empty.Open();
  auto s = empty.CreateBlobStream(empty.Fields(0), bmRead);
  EXPECT_NE(dynamic_cast<TMemoryStream*>(s.get()), nullptr);
  EXPECT_EQ(s->Size(), 0);
}

TEST(MemoryStreamTest, SeekClampsAtTheStartAndWritingPastTheEndFillsWithZeros) {
  TMemoryStream s("ab");
  EXPECT_EQ(s.Seek(-5, soCurrent), 0);
  EXPECT_EQ(s.Seek(4, soBeginning), 4);
  s.Write(std::string_view("c"));
  EXPECT_EQ(s.Bytes(), std::string("ab\0\0c", 5));
  EXPECT_EQ(s.Position(), 5);
}

}  // namespace
}  // namespace tabulix::test
