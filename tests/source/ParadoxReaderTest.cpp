// The Paradox reader on tables the tests write themselves: field types and values, record
// order along the block chain, random access, blob values in the record and in the .mb, and
// the text encoding.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "framework/DateTime.h"
#include "framework/Exceptions.h"
#include "source/paradox/ParadoxReader.h"
#include "support/TestData.h"
#include "tests/source/ParadoxTestTable.h"

namespace tabulix::source {
namespace {

using namespace test::paradox;
namespace fs = std::filesystem;

std::string TablePath(const std::string& name) {
  fs::path dir = fs::path(test::TempDir()) / "paradox-reader";
  fs::create_directories(dir);
  return (dir / name).string();
}

std::string Write(const std::string& name, const std::string& bytes) {
  std::string path = TablePath(name);
  WriteFile(path, bytes);
  return path;
}

std::vector<FieldValue> Read(TableReader& reader, std::int64_t n) {
  std::vector<FieldValue> values;
  reader.ReadRecord(n, values);
  return values;
}

TEST(ParadoxReaderTest, EmptyTableHasFieldsAndNoRecords) {
  ParadoxTestTable t({{0x16, 4, "Id"}, {0x01, 20, "Name"}});
  auto reader = OpenParadoxTable(Write("empty.db", t.Header()), {});
  EXPECT_EQ(reader->RecordCount(), 0);
  ASSERT_EQ(reader->Fields().size(), 2u);
  std::vector<FieldValue> values;
  EXPECT_THROW(reader->ReadRecord(0, values), Exception);
}

TEST(ParadoxReaderTest, AutoIncrementFieldIsAutoIncNotInteger) {
  ParadoxTestTable t({{0x16, 4, "Id"}, {0x04, 4, "Count"}});
  t.AddRecord(StoredInt(7, 4) + StoredInt(-5, 4));
  auto reader = OpenParadoxTable(Write("autoinc.db", t.Bytes()), {});
  EXPECT_EQ(reader->Fields()[0].type, ftAutoInc);
  EXPECT_EQ(static_cast<int>(reader->Fields()[0].type), 14);
  EXPECT_EQ(reader->Fields()[1].type, ftInteger);
  auto values = Read(*reader, 0);
  EXPECT_EQ(values[0], FieldValue::Integer(7));
  EXPECT_EQ(values[1], FieldValue::Integer(-5));
}

TEST(ParadoxReaderTest, DecodesEveryFixedSizeType) {
  ParadoxTestTable t({{0x01, 8, "Alpha"},
                      {0x02, 4, "Date"},
                      {0x03, 2, "Short"},
                      {0x05, 8, "Money"},
                      {0x06, 8, "Number"},
                      {0x09, 1, "Logical"},
                      {0x14, 4, "Time"},
                      {0x17, 2, "Bcd"},
                      {0x18, 3, "Bytes"}});
  std::string bcd(17, '\0');
  bcd[0] = static_cast<char>(0xC2);
  bcd[15] = 0x12;
  bcd[16] = 0x34;  // 12.34
  t.AddRecord(Alpha("K\xE4se", 8) + StoredInt(736695, 4) + StoredInt(-300, 2) +
              StoredDouble(-12.5) + StoredDouble(0.1) + "\x81" + StoredInt(3601000, 4) + bcd +
              std::string("\x00\x01\x02", 3));
  t.AddRecord(std::string(static_cast<std::size_t>(t.RecordSize()), '\0'));
  auto reader = OpenParadoxTable(Write("types.db", t.Bytes()), {});

  const std::vector<TFieldType> types{ftString,  ftDate, ftSmallint, ftCurrency, ftFloat,
                                      ftBoolean, ftTime, ftBCD,      ftBytes};
  const std::vector<int> sizes{8, 4, 2, 8, 8, 1, 4, 17, 3};
  for (std::size_t i = 0; i < types.size(); ++i) {
    EXPECT_EQ(reader->Fields()[i].type, types[i]) << i;
    EXPECT_EQ(reader->Fields()[i].size, sizes[i]) << i;
  }
  EXPECT_EQ(reader->Fields()[7].decimals, 2);

  auto v = Read(*reader, 0);
  EXPECT_EQ(v[0], FieldValue::Bytes("K\xC3\xA4se"));  // code page 1252 to UTF-8
  EXPECT_EQ(v[1], FieldValue::DateTime(EncodeDate(2018, 1, 1)));
  EXPECT_EQ(v[2], FieldValue::Integer(-300));
  EXPECT_EQ(v[3], FieldValue::Double(-12.5));
  EXPECT_EQ(v[4], FieldValue::Double(0.1));
  EXPECT_EQ(v[5], FieldValue::Boolean(true));
  EXPECT_EQ(v[6], FieldValue::DateTime(EncodeTime(1, 0, 1, 0)));
  EXPECT_EQ(v[7], FieldValue::FromCurrency(Currency{123400}));
  EXPECT_EQ(v[8], FieldValue::Bytes(std::string("\x00\x01\x02", 3)));

  // All-zero fields are empty.
  for (const FieldValue& value : Read(*reader, 1)) EXPECT_TRUE(value.IsNull());
}

TEST(ParadoxReaderTest, AlphaStopsAtTheFirstNulAndKeepsBlanks) {
  ParadoxTestTable t({{0x01, 6, "A"}});
  t.AddRecord(std::string("ab \0xy", 6));
  t.AddRecord("abcdef");
  auto reader = OpenParadoxTable(Write("alpha.db", t.Bytes()), {});
  EXPECT_EQ(Read(*reader, 0)[0], FieldValue::Bytes("ab "));
  EXPECT_EQ(Read(*reader, 1)[0], FieldValue::Bytes("abcdef"));
}

ParadoxTestTable NumberedTable(int records, int perBlock) {
  ParadoxTestTable t({{0x04, 4, "N"}});
  t.recordsPerBlock = perBlock;
  for (int i = 0; i < records; ++i) t.AddRecord(StoredInt(i, 4));
  return t;
}

TEST(ParadoxReaderTest, ReadsRecordsInAnyOrderAcrossBlocks) {
  ParadoxTestTable t = NumberedTable(10, 3);
  ASSERT_EQ(t.BlockCount(), 4u);
  auto reader = OpenParadoxTable(Write("blocks.db", t.Bytes()), {});
  ASSERT_EQ(reader->RecordCount(), 10);
  for (int n : {9, 0, 5, 3, 2, 8, 6}) EXPECT_EQ(Read(*reader, n)[0], FieldValue::Integer(n));
}

TEST(ParadoxReaderTest, FollowsTheChainNotThePhysicalOrder) {
  ParadoxTestTable t = NumberedTable(6, 2);  // blocks 1: 0,1  2: 2,3  3: 4,5
  std::string bytes = t.Bytes();
  PutLe16(bytes, t.BlockOffset(1), 3);  // chain 1 -> 3 -> 2
  PutLe16(bytes, t.BlockOffset(3), 2);
  PutLe16(bytes, t.BlockOffset(2), 0);
  auto reader = OpenParadoxTable(Write("chain.db", bytes), {});
  std::vector<int> order;
  for (int n = 0; n < reader->RecordCount(); ++n) order.push_back(Read(*reader, n)[0].AsInteger());
  EXPECT_EQ(order, (std::vector<int>{0, 1, 4, 5, 2, 3}));
}

TEST(ParadoxReaderTest, SkipsFreeBlocksOutsideTheChain) {
  ParadoxTestTable t = NumberedTable(6, 2);
  std::string bytes = t.Bytes();
  PutLe16(bytes, t.BlockOffset(1), 3);  // block 2 left the chain
  PutLe16(bytes, t.BlockOffset(2) + 4, static_cast<unsigned>(-4 & 0xFFFF));
  PutLe32(bytes, 0x06, 4);
  PutLe16(bytes, 0x0A, 2);
  auto reader = OpenParadoxTable(Write("free.db", bytes), {});
  ASSERT_EQ(reader->RecordCount(), 4);
  EXPECT_EQ(Read(*reader, 2)[0], FieldValue::Integer(4));
}

TEST(ParadoxReaderTest, EmptyBlockInTheChainHoldsNoRecords) {
  ParadoxTestTable t = NumberedTable(6, 2);
  std::string bytes = t.Bytes();
  PutLe16(bytes, t.BlockOffset(2) + 4, static_cast<unsigned>(-4 & 0xFFFF));
  PutLe32(bytes, 0x06, 4);
  auto reader = OpenParadoxTable(Write("emptyblock.db", bytes), {});
  ASSERT_EQ(reader->RecordCount(), 4);
  EXPECT_EQ(Read(*reader, 1)[0], FieldValue::Integer(1));
  EXPECT_EQ(Read(*reader, 2)[0], FieldValue::Integer(4));
}

TEST(ParadoxReaderTest, TenMillionRowTableOpensAndReadsAnyRecord) {
  // 32 KB blocks of 8190 records; only the block headers and three records are written, the
  // rest of the file stays a hole.
  const std::int64_t rows = 10'000'000;
  ParadoxTestTable t({{0x04, 4, "N"}});
  t.blockCode = 32;
  t.version = 0x0C;
  const std::int64_t perBlock = (32768 - 6) / 4;
  const std::int64_t blocks = (rows + perBlock - 1) / perBlock;
  std::string header = t.Header();
  PutLe32(header, 0x06, static_cast<std::uint32_t>(rows));
  PutLe16(header, 0x0A, static_cast<unsigned>(blocks));
  PutLe16(header, 0x0C, static_cast<unsigned>(blocks));
  PutLe16(header, 0x0E, 1);
  PutLe16(header, 0x10, static_cast<unsigned>(blocks));
  std::string path = TablePath("big.db");
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(header.data(), static_cast<std::streamsize>(header.size()));
    auto put = [&](std::int64_t offset, const std::string& bytes) {
      out.seekp(offset);
      out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    };
    for (std::int64_t b = 1; b <= blocks; ++b) {
      std::int64_t count = std::min(perBlock, rows - (b - 1) * perBlock);
      std::string head(6, '\0');
      PutLe16(head, 0, b < blocks ? static_cast<unsigned>(b + 1) : 0);
      PutLe16(head, 2, static_cast<unsigned>(b - 1));
      PutLe16(head, 4, static_cast<unsigned>((count - 1) * 4));
      std::int64_t offset = static_cast<std::int64_t>(header.size()) + (b - 1) * 32768;
      put(offset, head);
      if (b == blocks) put(offset + 6 + (count - 1) * 4, StoredInt(rows - 1, 4));
    }
    put(static_cast<std::int64_t>(header.size()) + 6, StoredInt(0, 4));
    std::int64_t middle = rows / 2;
    put(static_cast<std::int64_t>(header.size()) + (middle / perBlock) * 32768 + 6 +
            (middle % perBlock) * 4,
        StoredInt(middle, 4));
  }
  auto reader = OpenParadoxTable(path, {});
  ASSERT_EQ(reader->RecordCount(), rows);
  EXPECT_EQ(Read(*reader, rows - 1)[0], FieldValue::Integer(static_cast<std::int32_t>(rows - 1)));
  EXPECT_EQ(Read(*reader, 0)[0], FieldValue::Integer(0));
  EXPECT_EQ(Read(*reader, rows / 2)[0], FieldValue::Integer(static_cast<std::int32_t>(rows / 2)));
  EXPECT_TRUE(Read(*reader, rows / 2 + 1)[0].IsNull());
  fs::remove(path);
}

std::string GraphicWithPrefix(const std::string& image) {
  return std::string("\x01\x00\x00\x01", 4) + Le32(static_cast<std::uint32_t>(image.size())) +
         image;
}

TEST(ParadoxReaderTest, ReadsBlobsFromRecordAndBothBlockKinds) {
  const std::string longMemo = "Gr\xFC\xDF" + std::string(5000, 'm');  // single block
  const std::string shortMemo = "twenty-one characters";               // shared block
  const std::string bin(40, '\x07');
  const std::string image = "BM" + std::string(3000, '\x11');
  const std::string ole = std::string("\x01\x00\x00\x02", 4) + Le32(5) + "OLE!!";

  BlobFileBuilder mb;
  std::uint32_t single = mb.AddSingle(longMemo);
  std::uint32_t shared = mb.AddShared({shortMemo, bin, ole});
  std::uint32_t picture = mb.AddSingle(GraphicWithPrefix(image));

  ParadoxTestTable t({{0x0C, 30, "Memo"}, {0x0D, 10, "Bin"}, {0x10, 10, "Pic"}, {0x0F, 10, "Ole"}});
  t.AddRecord(BlobField(30, longMemo.substr(0, 20), single, 0xFF, 5004) +
              BlobField(10, "", shared, 62, 40) + BlobField(10, "", picture, 0xFF, 3010) +
              BlobField(10, "", shared, 61, static_cast<std::uint32_t>(ole.size())));
  t.AddRecord(BlobField(30, shortMemo.substr(0, 20), shared, 63, 21) + BlobField(10, "", 0, 0, 0) +
              BlobField(10, "", 0, 0, 0) + BlobField(10, "", 0, 0, 0));
  // Values that fit the leader need no .mb: a memo, and a graphic with its prefix.
  ParadoxTestTable small({{0x0C, 30, "Memo"}, {0x10, 30, "Pic"}});
  small.AddRecord(BlobField(30, "in the record", 0, 0, 13) +
                  BlobField(30, GraphicWithPrefix("GIF89a"), 0, 0, 14));

  std::string path = Write("blobs.db", t.Bytes());
  WriteFile(TablePath("blobs.mb"), mb.Bytes());
  auto reader = OpenParadoxTable(path, {});
  EXPECT_EQ(reader->Fields()[0].type, ftMemo);
  EXPECT_EQ(reader->Fields()[1].type, ftBlob);
  EXPECT_EQ(reader->Fields()[2].type, ftGraphic);
  EXPECT_EQ(reader->Fields()[3].type, ftParadoxOle);

  auto v = Read(*reader, 0);
  EXPECT_EQ(v[0], FieldValue::Bytes("Gr\xC3\xBC\xC3\x9F" + std::string(5000, 'm')));
  EXPECT_EQ(v[1], FieldValue::Bytes(bin));
  EXPECT_EQ(v[2], FieldValue::Bytes(image));  // without the 8-byte prefix
  EXPECT_EQ(v[3], FieldValue::Bytes(ole));    // OLE values keep theirs
  v = Read(*reader, 1);
  EXPECT_EQ(v[0], FieldValue::Bytes(shortMemo));
  EXPECT_TRUE(v[1].IsNull());

  auto inRecord = OpenParadoxTable(Write("smallblobs.db", small.Bytes()), {});
  v = Read(*inRecord, 0);
  EXPECT_EQ(v[0], FieldValue::Bytes("in the record"));
  EXPECT_EQ(v[1], FieldValue::Bytes("GIF89a"));
}

TEST(ParadoxReaderTest, FindsTheBlobFileInAnyLetterCase) {
  BlobFileBuilder mb;
  std::uint32_t single = mb.AddSingle(std::string(100, 'x'));
  ParadoxTestTable t({{0x0C, 11, "Memo"}});
  t.AddRecord(BlobField(11, "x", single, 0xFF, 100));
  fs::path dir = fs::path(TablePath("case"));
  fs::create_directories(dir);
  WriteFile((dir / "Notes.DB").string(), t.Bytes());
  WriteFile((dir / "nOTES.mB").string(), mb.Bytes());
  auto reader = OpenParadoxTable((dir / "Notes.DB").string(), {});
  EXPECT_EQ(Read(*reader, 0)[0], FieldValue::Bytes(std::string(100, 'x')));
}

TEST(ParadoxReaderTest, MissingBlobFileFailsOnlyForValuesThatNeedIt) {
  ParadoxTestTable t({{0x0C, 15, "Memo"}});
  t.AddRecord(BlobField(15, "short", 0, 0, 5));
  t.AddRecord(BlobField(15, "long ", 0x1000, 0xFF, 600));
  std::string path = Write("nomb.DB", t.Bytes());
  auto reader = OpenParadoxTable(path, {});
  EXPECT_EQ(Read(*reader, 0)[0], FieldValue::Bytes("short"));
  try {
    Read(*reader, 1);
    FAIL() << "a blob without its .mb was read";
  } catch (const Exception& e) {
    std::string message = e.what();
    EXPECT_NE(message.find(TablePath("nomb.MB")), std::string::npos) << message;
    EXPECT_NE(message.find("missing"), std::string::npos) << message;
    EXPECT_NE(message.find("record 2, field 'Memo'"), std::string::npos) << message;
  }
}

TEST(ParadoxReaderTest, BlobThatDoesNotMatchTheBlobFileIsAnError) {
  BlobFileBuilder mb;
  std::uint32_t single = mb.AddSingle(std::string(100, 'x'));
  std::uint32_t shared = mb.AddShared({"abc"});
  std::uint32_t free = mb.AddFree();
  ParadoxTestTable t({{0x0D, 10, "Bin"}});
  t.AddRecord(BlobField(10, "", free, 0xFF, 100));            // free block
  t.AddRecord(BlobField(10, "", single, 0xFF, 99));           // wrong length
  t.AddRecord(BlobField(10, "", shared, 10, 3));              // free entry
  t.AddRecord(BlobField(10, "", 0x100000, 0xFF, 3));          // beyond the file
  t.AddRecord(BlobField(10, "", 0, 0xFF, 3));                 // the header block
  t.AddRecord(BlobField(10, "", single, 0xFF, 0xFFFFFFF0u));  // absurd length
  t.AddRecord(BlobField(10, "", shared, 63, 3));              // fine
  std::string path = Write("mismatch.db", t.Bytes());
  WriteFile(TablePath("mismatch.mb"), mb.Bytes());
  auto reader = OpenParadoxTable(path, {});
  for (int n = 0; n < 6; ++n) {
    try {
      Read(*reader, n);
      ADD_FAILURE() << "record " << n << " read";
    } catch (const Exception& e) {
      EXPECT_NE(std::string(e.what()).find(TablePath("mismatch.mb")), std::string::npos)
          << e.what();
    }
  }
  EXPECT_EQ(Read(*reader, 6)[0], FieldValue::Bytes("abc"));
}

TEST(ParadoxReaderTest, EncodingOptionOverridesTheHeader) {
  ParadoxTestTable t({{0x01, 4, "T"}});
  t.codePage = 936;
  t.AddRecord(Alpha("\xCF\xF0\xE8", 4));  // "При" in Windows-1251
  std::string path = Write("cp1251.db", t.Bytes());
  auto asHeader = OpenParadoxTable(path, {});
  EXPECT_EQ(asHeader->Encoding(), "CP936");
  ReaderOptions options;
  options.encoding = "CP1251";
  auto reader = OpenParadoxTable(path, options);
  EXPECT_EQ(reader->Encoding(), "CP1251");
  EXPECT_EQ(Read(*reader, 0)[0], FieldValue::Bytes("\xD0\x9F\xD1\x80\xD0\xB8"));
}

TEST(ParadoxReaderTest, UnknownEncodingNamesTheFile) {
  ParadoxTestTable t({{0x01, 4, "T"}});
  std::string path = Write("badenc.db", t.Header());
  ReaderOptions options;
  options.encoding = "NO-SUCH-CODEPAGE";
  try {
    OpenParadoxTable(path, options);
    FAIL();
  } catch (const Exception& e) {
    EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find("NO-SUCH-CODEPAGE"), std::string::npos) << e.what();
  }
  t.codePage = 59999;
  path = Write("badcp.db", t.Header());
  EXPECT_THROW(OpenParadoxTable(path, {}), Exception);
}

TEST(ParadoxReaderTest, Version3TableWithoutCodePageIsReadAsDosText) {
  for (int version : {3, 4}) {
    ParadoxTestTable t({{0x01, 5,
                         "Stra\xE1"
                         "e"},
                        {0x02, 4, "D"}});
    t.version = version;
    t.blockCode = 1;
    t.AddRecord(Alpha("M\x81nz", 5) + StoredInt(728783, 4));
    auto reader = OpenParadoxTable(Write("v3.db", t.Bytes()), {});
    EXPECT_EQ(reader->Encoding(), "CP437");
    EXPECT_EQ(reader->Fields()[0].name,
              "Stra\xC3\x9F"
              "e");
    auto v = Read(*reader, 0);
    EXPECT_EQ(v[0], FieldValue::Bytes("M\xC3\xBCnz"));
    EXPECT_EQ(v[1], FieldValue::DateTime(EncodeDate(1996, 5, 4)));
  }
}

TEST(ParadoxReaderTest, Version7HeaderWithLongTableNameArea) {
  ParadoxTestTable t({{0x01, 3, "Code"}, {0x15, 8, "Stamp"}});
  t.version = 0x0C;
  t.AddRecord("abc" + StoredDouble((737456.0) * 86400000.0 + 3601000.0));
  auto reader = OpenParadoxTable(Write("v7.db", t.Bytes()), {});
  EXPECT_EQ(reader->Fields()[1].name, "Stamp");
  EXPECT_EQ(Read(*reader, 0)[1],
            FieldValue::DateTime(EncodeDate(2020, 2, 1) + EncodeTime(1, 0, 1, 0)));
}

}  // namespace
}  // namespace tabulix::source
