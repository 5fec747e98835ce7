// Bad input for the Paradox reader: empty, foreign, truncated and damaged files must raise an
// error that names the file and the problem, never crash, hang or read outside the file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "framework/Exceptions.h"
#include "source/paradox/ParadoxReader.h"
#include "support/TestData.h"
#include "tests/source/ParadoxTestTable.h"

namespace tabulix::source {
namespace {

using namespace test::paradox;
namespace fs = std::filesystem;

std::string Write(const std::string& name, const std::string& bytes) {
  fs::path dir = fs::path(test::TempDir()) / "paradox-damage";
  fs::create_directories(dir);
  std::string path = (dir / name).string();
  WriteFile(path, bytes);
  return path;
}

// The message of the error that opening (and reading every record of) the file raises.
std::string OpenError(const std::string& path) {
  try {
    auto reader = OpenParadoxTable(path, {});
    std::vector<FieldValue> values;
    for (std::int64_t n = 0; n < reader->RecordCount(); ++n) reader->ReadRecord(n, values);
  } catch (const Exception& e) {
    return e.what();
  }
  return "";
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

ParadoxTestTable Numbers(int records, int perBlock) {
  ParadoxTestTable t({{0x04, 4, "N"}, {0x01, 10, "Name"}});
  t.recordsPerBlock = perBlock;
  for (int i = 0; i < records; ++i) t.AddRecord(StoredInt(i, 4) + Alpha("row", 10));
  return t;
}

struct DamageCase {
  const char* name;
  std::string bytes;
  const char* problem;  // text the message must hold besides the file name
};

class ParadoxDamageTest : public ::testing::TestWithParam<DamageCase> {};

TEST_P(ParadoxDamageTest, RaisesAnErrorNamingFileAndProblem) {
  const DamageCase& c = GetParam();
  std::string path = Write(std::string(c.name) + ".db", c.bytes);
  std::string message = OpenError(path);
  EXPECT_EQ(message.rfind(path + ": ", 0), 0u) << message;
  EXPECT_NE(message.find(c.problem), std::string::npos) << message;
}

std::string Patched16(std::string bytes, std::size_t at, unsigned v) {
  PutLe16(bytes, at, v);
  return bytes;
}

std::string Patched8(std::string bytes, std::size_t at, unsigned v) {
  bytes[at] = static_cast<char>(v);
  return bytes;
}

std::vector<DamageCase> DamageCases() {
  ParadoxTestTable t = Numbers(10, 3);  // blocks of 3, 3, 3, 1 records
  const std::string good = t.Bytes();
  const std::size_t block2 = t.BlockOffset(2), block4 = t.BlockOffset(4);
  std::string cut = good.substr(0, block4 + 6);  // last block's record gone
  std::string dbase = ReadFile(test::RealDataDir() + "/dbase/dbase_03.dbf");
  std::string index = ReadFile(test::RealDataDir() + "/paradox/db/ORDERS.PX");
  ParadoxTestTable encrypted = Numbers(1, 0);
  encrypted.encryptionKey = 0x0A25E09A;
  ParadoxTestTable encrypted3 = Numbers(1, 0);
  encrypted3.version = 4;
  encrypted3.encryptionKey = 0x12345678;
  return {
      {"empty", "", "empty file, not a Paradox table"},
      {"short", "hello", "not a Paradox table (only 5 bytes)"},
      {"text", std::string(300, 'x'), "not a Paradox table"},
      {"dbase", dbase, "not a Paradox table"},
      {"index", index, "not a Paradox table but one of its index files"},
      {"version", Patched8(good, 0x39, 0x20), "unknown version id 0x20"},
      {"blocksize", Patched8(good, 0x05, 0), "block size code 0"},
      {"nofields", Patched16(good, 0x21, 0), "no fields"},
      {"header-cut", good.substr(0, 1000), "the file is truncated"},
      {"fieldtype", Patched8(good, 0x78, 0x07), "unknown type code 0x07"},
      {"fieldsize", Patched8(good, 0x79, 5), "field 1 of type I has size 5"},
      {"recordsize", Patched16(good, 0x00, 15), "record size 15 but the fields take 14 bytes"},
      {"manyfields", Patched16(good, 0x21, 400), "too small for 400 fields"},
      {"names", Patched16(good, 0x02, 0xDA), "field names run past the end of the header"},
      {"truncated", cut, "header says 10 records but the file holds 9"},
      {"blockgone", good.substr(0, block2 + 3), "header says 10 records but the file holds 3"},
      {"loop", Patched16(good, block4, 2), "loops back to block 2"},
      {"selfloop", Patched16(good, block2, 2), "loops back to block 2"},
      {"count", Patched16(good, 0x06, 11), "header says 11 records but the file holds 10"},
      {"nochain", Patched16(good, 0x0E, 0), "header says 10 records but the file holds 0"},
      {"farblock", Patched16(good, block2, 60000), "the file is truncated"},
      {"overfull", Patched16(good, block2 + 4, 14 * 200), "201 records do not fit a block"},
      {"ragged", Patched16(good, block2 + 4, 29), "no multiple of the 14-byte record"},
      {"encrypted", encrypted.Bytes(), "the table is encrypted"},
      {"encrypted35", encrypted3.Bytes(), "the table is encrypted"},
  };
}

INSTANTIATE_TEST_SUITE_P(Files, ParadoxDamageTest, ::testing::ValuesIn(DamageCases()),
                         [](const auto& info) {
                           std::string name = info.param.name;
                           for (char& c : name) {
                             if (c == '-') c = '_';
                           }
                           return name;
                         });

TEST(ParadoxDamage, MissingFileIsAnErrorNamingIt) {
  std::string path = test::TempDir() + "/no-such-table.db";
  std::string message = OpenError(path);
  EXPECT_EQ(message.rfind(path + ": cannot open the file", 0), 0u) << message;
}

TEST(ParadoxDamage, FolderIsNoTable) {
  fs::path dir = fs::path(test::TempDir()) / "folder.db";
  fs::create_directories(dir);
  EXPECT_NE(OpenError(dir.string()).find("not a regular file"), std::string::npos);
}

TEST(ParadoxDamage, UndecodableValuesNameRecordAndField) {
  ParadoxTestTable t({{0x14, 4, "When"}, {0x17, 0, "Amount"}});
  t.AddRecord(StoredInt(90'000'000, 4) + std::string(17, '\0'));
  std::string bcd(17, '\x99');
  bcd[0] = static_cast<char>(0xC0);
  t.AddRecord(StoredInt(1, 4) + bcd);
  std::string path = Write("values.db", t.Bytes());
  auto reader = OpenParadoxTable(path, {});
  std::vector<FieldValue> values;
  try {
    reader->ReadRecord(0, values);
    ADD_FAILURE();
  } catch (const Exception& e) {
    EXPECT_EQ(std::string(e.what()),
              path + ": record 1, field 'When': stored value is no valid time of day");
  }
  try {
    reader->ReadRecord(1, values);
    ADD_FAILURE();
  } catch (const Exception& e) {
    EXPECT_NE(std::string(e.what()).find("record 2, field 'Amount': BCD value exceeds"),
              std::string::npos)
        << e.what();
  }
}

TEST(ParadoxDamage, RecordNumberOutOfRange) {
  auto reader = OpenParadoxTable(Write("range.db", Numbers(2, 0).Bytes()), {});
  std::vector<FieldValue> values;
  EXPECT_THROW(reader->ReadRecord(2, values), Exception);
  EXPECT_THROW(reader->ReadRecord(-1, values), Exception);
}

}  // namespace
}  // namespace tabulix::source
