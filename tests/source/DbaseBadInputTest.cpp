// Foreign, damaged and truncated files: each raises an error that names the file and the
// problem, and never reads outside the file.
#include <gtest/gtest.h>

#include <filesystem>

#include "framework/Exceptions.h"
#include "source/dbase/DbaseReader.h"
#include "support/TestData.h"
#include "tests/source/DbaseTestTables.h"

namespace tabulix::source {
namespace {

namespace fs = std::filesystem;
using namespace dbase_test;

std::string Folder() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string dir = test::TempDir() + "/bad-" + info->name();
  fs::create_directories(dir);
  return dir;
}

// The message of the error that opening (and reading every record of) the table raises.
std::string OpenError(const std::string& path, const ReaderOptions& options = {}) {
  try {
    auto table = OpenDbaseTable(path, options);
    std::vector<FieldValue> values;
    for (std::int64_t n = 0; n < table->RecordCount(); ++n) table->ReadRecord(n, values);
  } catch (const Exception& e) {
    return e.what();
  }
  return "no error";
}

std::string Written(const std::string& name, const std::string& bytes) {
  std::string path = Folder() + "/" + name;
  WriteBytes(path, bytes);
  return path;
}

DbfWriter Simple(int records) {
  DbfWriter w(0x03);
  w.Field({"ID", 'N', 5}).Field({"NAME", 'C', 10});
  for (int i = 0; i < records; ++i) w.Row({std::to_string(i), "name"});
  return w;
}

#define EXPECT_ERROR(message, path, text)                                        \
  do {                                                                           \
    std::string m_ = (message);                                                  \
    EXPECT_NE(m_.find(path), std::string::npos) << "message lacks path: " << m_; \
    EXPECT_NE(m_.find(text), std::string::npos) << m_;                           \
  } while (0)

TEST(DbaseBadInput, MissingFile) {
  std::string path = Folder() + "/none.dbf";
  EXPECT_ERROR(OpenError(path), path, "cannot open");
}

TEST(DbaseBadInput, DirectoryNamedLikeATable) {
  std::string path = Folder() + "/dir.dbf";
  fs::create_directories(path);
  EXPECT_ERROR(OpenError(path), path, "not a regular file");
}

TEST(DbaseBadInput, EmptyFile) {
  std::string path = Written("empty.dbf", "");
  EXPECT_ERROR(OpenError(path), path, "empty");
}

TEST(DbaseBadInput, ForeignFiles) {
  for (const std::string& bytes :
       {std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16), std::string("Hello, world\n"),
        std::string(100, '\x03'), std::string("\x03", 1), std::string(40, '\0')}) {
    std::string path = Written("foreign.dbf", bytes);
    EXPECT_ERROR(OpenError(path), path, "not a dBase table");
  }
}

TEST(DbaseBadInput, HeaderLongerThanTheFile) {
  std::string bytes = Simple(0).Bytes();
  std::string path = Written("cut.dbf", bytes.substr(0, 60));
  EXPECT_ERROR(OpenError(path), path, "not a dBase table or truncated");
}

TEST(DbaseBadInput, HeaderPromisesMoreRecordsThanTheFileHolds) {
  std::string path = Simple(12).HeaderRecordCount(1000).Write(Folder() + "/count.dbf");
  EXPECT_ERROR(OpenError(path), path, "header says 1000 records but the file holds 12");
}

TEST(DbaseBadInput, LastRecordCutShort) {
  std::string bytes = Simple(3).Bytes();
  std::string path = Written("short.dbf", bytes.substr(0, bytes.size() - 5));
  EXPECT_ERROR(OpenError(path), path, "header says 3 records but the file holds 2");
}

TEST(DbaseBadInput, FewerRecordsInTheHeaderThanInTheFileReadsTheHeaderCount) {
  auto table = OpenDbaseTable(Simple(5).HeaderRecordCount(2).Write(Folder() + "/few.dbf"), {});
  EXPECT_EQ(table->RecordCount(), 2);
}

TEST(DbaseBadInput, RecordLengthDisagreesWithTheFields) {
  std::string path = Simple(1).HeaderRecordLength(30).Write(Folder() + "/len.dbf");
  EXPECT_ERROR(OpenError(path), path, "damaged header");
}

TEST(DbaseBadInput, UnknownFieldType) {
  DbfWriter w(0x03);
  w.Field({"ODD", 'Z', 4}).Row({"abcd"});
  std::string path = w.Write(Folder() + "/type.dbf");
  EXPECT_ERROR(OpenError(path), path, "field 'ODD' has the unknown type 'Z'");
}

TEST(DbaseBadInput, TypeOfAnotherDialect) {
  // T is a Visual FoxPro type; a dBase III table cannot have it.
  DbfWriter w(0x03);
  w.Field({"WHEN", 'T', 8}).Row({std::string(8, '\0')});
  std::string path = w.Write(Folder() + "/dialect.dbf");
  EXPECT_ERROR(OpenError(path), path, "unknown type 'T'");
}

TEST(DbaseBadInput, FieldSizeThatDoesNotFitItsType) {
  DbfWriter w(0x30);
  w.Field({"WHEN", 'T', 4}).Row({std::string(4, '\0')});
  std::string path = w.Write(Folder() + "/size.dbf");
  EXPECT_ERROR(OpenError(path), path, "field 'WHEN' of type 'T' has the impossible size 4");
}

TEST(DbaseBadInput, UnsupportedVersions) {
  std::string bytes = Simple(1).Bytes();
  bytes[0] = '\xE5';
  std::string path = Written("smt.dbf", bytes);
  EXPECT_ERROR(OpenError(path), path, "not supported");
  bytes[0] = '\x9C';
  path = Written("odd.dbf", bytes);
  EXPECT_ERROR(OpenError(path), path, "unknown version byte 0x9C");
}

TEST(DbaseBadInput, MissingMemoFileFailsWhenAMemoIsRead) {
  DbfWriter w(0x83);
  w.Field({"ID", 'N', 2}).Field({"NOTE", 'M', 10});
  w.Row({"1", ""}).Row({"2", Pointer10(1)});
  std::string path = w.Write(Folder() + "/nomemo.dbf");
  auto table = OpenDbaseTable(path, {});
  std::vector<FieldValue> values;
  table->ReadRecord(0, values);  // no memo in this record: no memo file needed
  EXPECT_TRUE(values[1].IsNull());
  EXPECT_ERROR(OpenError(path), path, "memo file nomemo.dbt not found (needed for field 'NOTE')");
}

TEST(DbaseBadInput, MemoPointerBeyondTheMemoFile) {
  std::string dir = Folder();
  DbtIIIWriter memo;
  memo.Add("only one");
  WriteBytes(dir + "/far.dbt", memo.Bytes());
  DbfWriter w(0x83);
  w.Field({"NOTE", 'M', 10}).Row({Pointer10(4000000000u)});
  std::string path = w.Write(dir + "/far.dbf");
  EXPECT_ERROR(OpenError(path), dir + "/far.dbt", "memo block 4000000000 lies outside");
}

TEST(DbaseBadInput, DbaseIVMemoBlockWithoutSignature) {
  std::string dir = Folder();
  DbtIVWriter memo;
  memo.Add("text");
  std::string bytes = memo.Bytes();
  bytes[512] = 'X';
  WriteBytes(dir + "/sig.dbt", bytes);
  DbfWriter w(0x8B);
  w.Field({"NOTE", 'M', 10}).Row({Pointer10(1)});
  std::string path = w.Write(dir + "/sig.dbf");
  EXPECT_ERROR(OpenError(path), dir + "/sig.dbt", "memo block 1 is damaged");
}

TEST(DbaseBadInput, MemoLengthRunsPastTheMemoFile) {
  std::string dir = Folder();
  FptWriter memo;
  memo.Add("text");
  std::string bytes = memo.Bytes();
  bytes.replace(512 + 4, 4, Be32(100000));
  WriteBytes(dir + "/long.fpt", bytes);
  DbfWriter w(0x30);
  w.Field({"NOTE", 'M', 4}).Row({Le32(8)});
  std::string path = w.Write(dir + "/long.dbf");
  EXPECT_ERROR(OpenError(path), dir + "/long.fpt", "runs past the end of the memo file");
}

TEST(DbaseBadInput, FptPointerIntoTheHeader) {
  std::string dir = Folder();
  FptWriter memo;
  memo.Add("text");
  WriteBytes(dir + "/head.fpt", memo.Bytes());
  DbfWriter w(0x30);
  w.Field({"NOTE", 'M', 4}).Row({Le32(2)});
  std::string path = w.Write(dir + "/head.dbf");
  EXPECT_ERROR(OpenError(path), dir + "/head.fpt", "points into the memo file header");
}

TEST(DbaseBadInput, DamagedMemoPointerText) {
  std::string dir = Folder();
  WriteBytes(dir + "/ptr.dbt", DbtIIIWriter().Bytes());
  DbfWriter w(0x83);
  w.Field({"NOTE", 'M', 10}).Row({"   12ab   "});
  std::string path = w.Write(dir + "/ptr.dbf");
  EXPECT_ERROR(OpenError(path), path, "damaged memo pointer in field 'NOTE' of record 1");
}

TEST(DbaseBadInput, MemoFileTooShortForItsHeader) {
  std::string dir = Folder();
  WriteBytes(dir + "/tiny.fpt", "abc");
  DbfWriter w(0x30);
  w.Field({"NOTE", 'M', 4}).Row({Le32(8)});
  std::string path = w.Write(dir + "/tiny.dbf");
  EXPECT_ERROR(OpenError(path), dir + "/tiny.fpt", "not a FoxPro memo file");
}

TEST(DbaseBadInput, CodePageThatIsNotAvailable) {
  // 0x98 is Greek Macintosh, which iconv does not provide.
  std::string path = Simple(1).LanguageDriver(0x98).Write(Folder() + "/greek.dbf");
  EXPECT_ERROR(OpenError(path), path, "code page 10006");
  EXPECT_ERROR(OpenError(path), path, "give the encoding");
  EXPECT_EQ(OpenError(path, {"CP1253"}), "no error");
}

TEST(DbaseBadInput, VarcharLengthLongerThanTheFieldReadsAsNull) {
  DbfWriter w(0x32);
  w.Field({"V", 'V', 4}).Field({"_NullFlags", '0', 1, 0, 0x05});
  w.Row({std::string("ab\0\x09", 4), "\x01"});
  auto table = OpenDbaseTable(w.Write(Folder() + "/var.dbf"), {});
  std::vector<FieldValue> values;
  table->ReadRecord(0, values);
  EXPECT_TRUE(values[0].IsNull());
}

TEST(DbaseBadInput, EveryCutOfAValidTableFailsCleanly) {
  std::string dir = Folder();
  FptWriter memo;
  std::uint32_t block = memo.Add("memo");
  DbfWriter w(0x30);
  w.Field({"ID", 'I', 4}).Field({"NOTE", 'M', 4}).Field({"NAME", 'C', 5});
  w.Row({Le32(1), Le32(block), "one"}).Row({Le32(2), Le32(block), "two"});
  std::string bytes = w.Bytes();
  std::string memoBytes = memo.Bytes();
  int failures = 0;
  for (std::size_t cut = 0; cut < bytes.size() - 1; ++cut) {
    std::string path = Written("cut.dbf", bytes.substr(0, cut));
    WriteBytes(dir + "/cut.fpt", memoBytes);
    if (OpenError(path) != "no error") ++failures;
  }
  // Every cut loses at least part of the last record; only the end-of-file byte may go.
  EXPECT_EQ(failures, static_cast<int>(bytes.size() - 1));
  // The memo ends 4 bytes after its 8-byte block header at 512; later bytes are padding.
  for (std::size_t cut = 0; cut < 512 + 8 + 4; ++cut) {
    WriteBytes(dir + "/cut.dbf", bytes);
    WriteBytes(dir + "/cut.fpt", memoBytes.substr(0, cut));
    EXPECT_NE(OpenError(dir + "/cut.dbf"), "no error") << cut;
  }
}

}  // namespace
}  // namespace tabulix::source
