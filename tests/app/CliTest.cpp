#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/core/Base64.h"
#include "support/Json.h"
#include "support/TestData.h"
#include "tests/source/DbaseTestTables.h"

namespace tabulix::test {
namespace {

struct CliRun {
  int status = -1;
  std::string out;
  std::string err;
};

std::string Quote(const std::string& arg) {
  std::string q = "'";
  for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

CliRun RunCli(const std::vector<std::string>& args) {
  std::string errFile = TempDir() + "/cli-stderr.txt";
  std::string command = Quote(TABULIX_CLI);
  for (const std::string& a : args) command += " " + Quote(a);
  command += " 2>" + Quote(errFile);
  CliRun run;
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return run;
  char buf[65536];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) run.out.append(buf, n);
  int status = ::pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::ifstream err(errFile, std::ios::binary);
  std::stringstream ss;
  ss << err.rdbuf();
  run.err = ss.str();
  return run;
}

std::vector<std::string> Lines(const std::string& text, const std::string& end = "\n") {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t p; (p = text.find(end, start)) != std::string::npos; start = p + end.size()) {
    lines.push_back(text.substr(start, p - start));
  }
  EXPECT_EQ(start, text.size()) << "the output does not end with a line end";
  return lines;
}

std::string Real(const std::string& relative) {
  return RealDataDir() + "/" + relative;
}

bool IsBlobLetter(const std::string& letter, bool paradox) {
  return paradox ? std::string("MBFOG").find(letter) != std::string::npos
                 : std::string("MBGPW").find(letter) != std::string::npos;
}

// Compares one dumped value with the expected one of the sample's JSON. Floats compare as
// doubles (dBase keeps their decimal text), BCD to its four decimals; binary values against
// the expected base64; a blob field hands over the empty text where the sample has null.
void ExpectSameValue(const Json& expected, const Json& dumped, const std::string& letter,
                     bool paradox) {
  switch (expected.type) {
    case Json::Type::Null:
      if (IsBlobLetter(letter, paradox) && dumped.type == Json::Type::String) {
        EXPECT_EQ(dumped.text, "");
      } else {
        EXPECT_TRUE(dumped.IsNull());
      }
      break;
    case Json::Type::Object:
      ASSERT_EQ(dumped.type, Json::Type::String);
      EXPECT_EQ(dumped.text, expected["base64"].text);
      break;
    case Json::Type::Number:
      ASSERT_EQ(dumped.type, Json::Type::Number);
      if (letter == "#") {
        EXPECT_NEAR(dumped.Number(), expected.Number(), 0.00005);
      } else if (expected.text.find_first_of(".eE") == std::string::npos &&
                 dumped.text.find_first_of(".eE") == std::string::npos) {
        EXPECT_EQ(dumped.text, expected.text);  // integers exactly, also beyond 2^53
      } else {
        EXPECT_EQ(dumped.Number(), expected.Number());
      }
      break;
    default:
      EXPECT_EQ(dumped.type, expected.type);
      EXPECT_EQ(dumped.text, expected.text);
      EXPECT_EQ(dumped.boolean, expected.boolean);
  }
}

struct Sample {
  const char* file;
  const char* encoding;  // nullptr: as the table says
};

const Sample kSamples[] = {
    {"paradox/db/CUSTOMER.DB", nullptr},       {"paradox/db/ORDERS.DB", nullptr},
    {"paradox/db/GENERAL.DB", nullptr},        {"paradox/db/NOTE1251.DB", "CP1251"},
    {"paradox/fields/bcd.db", nullptr},        {"paradox/fields/bytes.db", nullptr},
    {"paradox/fields/date5.db", nullptr},      {"paradox/fields/fmemo.db", nullptr},
    {"paradox/fields/graphic240.db", nullptr}, {"paradox/fields/logical.db", nullptr},
    {"paradox/fields/long.db", nullptr},       {"paradox/fields/ole.db", nullptr},
    {"paradox/fields/time.db", nullptr},       {"paradox/fields/timestamp.db", nullptr},
    {"paradox/joins/joina.db", nullptr},       {"dbase/cp1251.dbf", nullptr},
    {"dbase/dbase_03.dbf", nullptr},           {"dbase/dbase_30.dbf", nullptr},
    {"dbase/dbase_31.dbf", nullptr},           {"dbase/dbase_83.dbf", nullptr},
    {"dbase/dbase_8b.dbf", nullptr},
};

TEST(CliDumpTest, JsonLinesMatchTheSamplesExpectedValues) {
  for (const Sample& s : kSamples) {
    SCOPED_TRACE(s.file);
    std::string path = Real(s.file);
    Json expected = Json::ParseFile(path.substr(0, path.rfind('.')) + ".expected.json");
    bool paradox = std::string(s.file).starts_with("paradox");
    std::vector<std::string> args = {"dump", path};
    if (s.encoding) args = {"dump", "--encoding", s.encoding, path};
    CliRun run = RunCli(args);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    std::vector<std::string> lines = Lines(run.out);
    const Json& records = expected["records"];
    ASSERT_EQ(lines.size(), records.items.size());
    std::vector<const Json*> fields;
    for (const Json& f : expected["fields"].items) {
      if (f["name"].text != "_NullFlags") fields.push_back(&f);
    }
    for (std::size_t r = 0; r < lines.size(); ++r) {
      SCOPED_TRACE("record " + std::to_string(r + 1));
      Json dumped = Json::Parse(lines[r]);
      ASSERT_EQ(dumped.type, Json::Type::Object);
      ASSERT_EQ(dumped.members.size(), fields.size());
      for (std::size_t i = 0; i < fields.size(); ++i) {
        SCOPED_TRACE((*fields[i])["name"].text);
        EXPECT_EQ(dumped.members[i].first, (*fields[i])["name"].text);
        ExpectSameValue(records[r][i], dumped.members[i].second, (*fields[i])["type"].text,
                        paradox);
      }
    }
  }
}

TEST(CliDumpTest, CsvHasTheHeaderAndOneLinePerRecord) {
  CliRun run = RunCli({"dump", "--format", "csv", Real("paradox/fields/date5.db")});
  ASSERT_EQ(run.status, 0) << run.err;
  Json expected = Json::ParseFile(Real("paradox/fields/date5.expected.json"));
  std::vector<std::string> lines = Lines(run.out, "\r\n");
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "DATE,TIME");
  for (std::size_t r = 0; r < 3; ++r) {
    const Json& rec = expected["records"][r];
    std::string line =
        (rec[0].IsNull() ? "" : rec[0].text) + "," + (rec[1].IsNull() ? "" : rec[1].text);
    EXPECT_EQ(lines[r + 1], line);
  }
}

TEST(CliDumpTest, CsvQuotesMemosWithLineBreaks) {
  CliRun run = RunCli({"dump", "--format=csv", Real("paradox/db/CUSTOMER.DB")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(run.out.starts_with(
      "CustNo,FirstName,LastName,EMail,Street,City,State/Prov,Zip/Postal Code,Comments,"
      "DateEntered\r\n1,Luke,Justice,luke@fun.com,4-976 Sugarloaf Hwy,Santa Cruz,CA,94766,"
      "Small comment (less 100 symbols),1996-02-02\r\n"));
}

TEST(CliInspectTest, PrintsTheFieldGridAndCounts) {
  CliRun run = RunCli({"inspect", Real("paradox/fields/long.db")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            "Name\tType\tLength\tmySQL-Type\tmySQL-KEY\n"
            "Id\tautoincr\t\tint not null auto_increment\tKEY\n"
            "LONG\t32Bit-Int\t\tint\t\n"
            "Records: 3\n"
            "Fields: 2\n"
            "Code page: CP850 (header)\n");
}

TEST(CliInspectTest, DbaseTypesGetTheirColumnTypes) {
  CliRun run = RunCli({"inspect", Real("dbase/dbase_8b.dbf")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            "Name\tType\tLength\tmySQL-Type\tmySQL-KEY\n"
            "CHARACTER\tchar\t100\tchar(100)\t\n"
            "NUMERICAL\tfloat\t\tdouble\t\n"
            "DATE\tdate\t\tdate\t\n"
            "LOGICAL\tbool\t\tbool\t\n"
            "FLOAT\tfloat\t\tdouble\t\n"
            "MEMO\tmemo\t\tmediumtext\t\n"
            "Records: 10\n"
            "Fields: 6\n"
            "Code page: CP437 (default)\n");
}

TEST(CliInspectTest, EmptyTable) {
  CliRun run = RunCli({"inspect", Real("paradox/joins/fk1.db")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(run.out.ends_with("Records: 0\nFields: 2\nCode page: CP850 (header)\n"));
}

TEST(CliFailureTest, UnreadableFileGivesTheMessageOnStandardErrorAndStatusOne) {
  std::string missing = TempDir() + "/missing.db";
  CliRun run = RunCli({"dump", missing});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find(missing), std::string::npos);
  EXPECT_TRUE(run.err.ends_with("\n"));

  run = RunCli({"inspect", Real("README.md")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_FALSE(run.err.empty());
}

TEST(CliFailureTest, UnknownEncodingAndBadArgumentsFail) {
  CliRun run = RunCli({"dump", "--encoding", "NO-SUCH-CODEPAGE", Real("dbase/cp1251.dbf")});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("NO-SUCH-CODEPAGE"), std::string::npos);
  run = RunCli({"export", Real("dbase/cp1251.dbf")});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("usage:"), std::string::npos);
  run = RunCli({"--help"});
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(run.out.starts_with("usage:"));
}

// A Windows-1252 dBase III table with one value of each kind a reader cannot take as stored,
// and memo pointers into a memo file that is not there.
std::string UnreadableValuesTable() {
  using namespace source::dbase_test;
  DbfWriter w(0x83);
  w.LanguageDriver(0x03);
  for (DbfField f : {DbfField{"SALARIO", 'N', 10, 2}, DbfField{"QTY", 'N', 4},
                     DbfField{"DAY", 'D', 8}, DbfField{"OK", 'L', 1}, DbfField{"NAME", 'C', 8},
                     DbfField{"CITY", 'C', 10}, DbfField{"NOTE", 'M', 10}}) {
    w.Field(f);
  }
  w.Row({"  1,200.00", "  12", "20240101", "T", "plain", "2 a\xC3\xB1os", ""});
  w.Row({"1.200,00", "1e10", "20240230", "x", "Caf\x81", "plain", Pointer10(1)});
  w.Row({"abc", "7", "20240101", "F", "plain", "plain", Pointer10(2)});
  std::string dir = TempDir() + "/cli-warnings";
  std::filesystem::create_directories(dir);
  return w.Write(dir + "/warn.dbf");
}

TEST(CliWarningTest, DumpNamesEveryValueNotReadAsStoredAndStrictWritesNothing) {
  const std::string table = UnreadableValuesTable();
  const std::string lines =
      "SALARIO: 2 values are not numbers, read as null (first: record 2, `1.200,00`)\n"
      "QTY: 1 value is too large for the field's number type, read as null "
      "(first: record 2, `1e10`)\n"
      "DAY: 1 value is not a valid date, read as null (first: record 2, `20240230`)\n"
      "OK: 1 value is not a logical value (T, F, Y or N), read as null (first: record 2, `x`)\n"
      "NAME: 1 value holds bytes that code page CP1252 does not define, read as U+FFFD "
      "(first: record 2, `Caf\\x81`); if the field holds binary data, read it with --binary "
      "NAME\n"
      "CITY: 1 value looks like UTF-8 text, read as CP1252 (first: record 1, `2 a\\xC3\\xB1os`); "
      "--encoding UTF-8 would read it as UTF-8\n"
      "NOTE: 2 values are in the missing memo file warn.dbt, read as null (first: record 2)\n";

  CliRun run = RunCli({"dump", "--without-memos", table});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, lines);
  std::vector<std::string> records = Lines(run.out);
  ASSERT_EQ(records.size(), 3u);
  EXPECT_TRUE(records[0].starts_with("{\"SALARIO\":1200,\"QTY\":12,")) << records[0];
  EXPECT_TRUE(records[1].starts_with("{\"SALARIO\":null,\"QTY\":null,\"DAY\":null,\"OK\":null,"))
      << records[1];

  for (const char* format : {"json", "csv"}) {
    run = RunCli({"dump", "--strict", "--without-memos", "--format", format, table});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, lines);
  }

  // Without --without-memos the missing memo file stops the dump at the first record that
  // needs it; the records before it are complete.
  run = RunCli({"dump", table});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, records[0] + "\n");
  EXPECT_NE(run.err.find("memo file warn.dbt not found (needed for field 'NOTE')"),
            std::string::npos)
      << run.err;
}

TEST(CliWarningTest, BinaryFieldDumpsItsStoredBytes) {
  using namespace source::dbase_test;
  const std::string image("GIF89a\x01\x00\x1A\x81\xFF\x00\r\n", 14);
  DbtIVWriter memo;
  DbfWriter w(0x8B);
  w.Field({"ID", 'N', 3}).Field({"PIC", 'M', 10});
  w.Row({"1", Pointer10(memo.Add(image))}).Row({"2", ""});
  std::string dir = TempDir() + "/cli-binary";
  std::filesystem::create_directories(dir);
  WriteBytes(dir + "/pics.dbt", memo.Bytes());
  std::string table = w.Write(dir + "/pics.dbf");

  CliRun run = RunCli({"dump", "--binary", "PIC", table});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 2u);
  std::string base64;
  app::AppendBase64(base64, image);
  EXPECT_EQ(Json::Parse(lines[0])["PIC"].text, base64);

  run = RunCli({"inspect", "--binary=pic", table});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("\nPIC\tblob\t\tlongblob\t\n"), std::string::npos) << run.out;
  EXPECT_TRUE(run.out.ends_with("Code page: CP437 (default)\n")) << run.out;

  run = RunCli({"dump", "--binary", "ID", table});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("field 'ID' cannot be read as raw bytes"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace tabulix::test
