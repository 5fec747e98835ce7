// Every real dBase sample table read and compared with the values of its expected-value file.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "framework/DateTime.h"
#include "framework/Exceptions.h"
#include "source/dbase/DbaseReader.h"
#include "support/Json.h"
#include "support/TestData.h"

namespace tabulix::source {
namespace {

namespace fs = std::filesystem;
using test::Json;

std::string SampleDir() {
  return test::RealDataDir() + "/dbase";
}

std::string Base64Decode(const std::string& text) {
  auto digit = [](char c) -> int {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
  };
  std::string out;
  unsigned buffer = 0;
  int bits = 0;
  for (char c : text) {
    int d = digit(c);
    if (d < 0) continue;  // padding
    buffer = (buffer << 6) | static_cast<unsigned>(d);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out += static_cast<char>((buffer >> bits) & 0xFF);
    }
  }
  return out;
}

// "YYYY-MM-DD HH:MM:SS" with ".mmm" when the milliseconds are set, as the expected files write
// date-times.
std::string DateTimeText(TDateTime value, bool withTime) {
  DateParts d = DecodeDate(value);
  TimeParts t = DecodeTime(value);
  char buf[40];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.year, d.month, d.day);
  std::string out = buf;
  if (withTime) {
    std::snprintf(buf, sizeof buf, " %02d:%02d:%02d", t.hour, t.minute, t.second);
    out += buf;
    if (t.millisecond) {
      std::snprintf(buf, sizeof buf, ".%03d", t.millisecond);
      out += buf;
    }
  }
  return out;
}

// Compares one value with its expected JSON form; returns a description of the difference.
std::string Difference(const SourceFieldDef& field, const FieldValue& actual,
                       const Json& expected) {
  if (expected.IsNull()) return actual.IsNull() ? "" : "expected null, got " + actual.AsText();
  if (actual.IsNullOrEmpty()) return "expected a value, got null";
  switch (field.type) {
    case ftString:
    case ftMemo:
      if (actual.kind() != FieldValue::Kind::Bytes) return "not a byte string";
      return actual.bytes() == expected.text
                 ? ""
                 : "'" + actual.bytes() + "' != '" + expected.text + "'";
    case ftSmallint:
    case ftInteger:
    case ftAutoInc:
      if (actual.kind() != FieldValue::Kind::Integer) return "not an integer";
      return actual.AsLargeint() == expected.Integer() ? ""
                                                       : actual.AsText() + " != " + expected.text;
    case ftLargeint:
      if (actual.kind() != FieldValue::Kind::Largeint) return "not a 64-bit integer";
      return actual.AsLargeint() == expected.Integer() ? ""
                                                       : actual.AsText() + " != " + expected.text;
    case ftFloat:
    case ftCurrency: {
      if (actual.kind() != FieldValue::Kind::Double) return "not a double";
      double a = actual.AsDouble();
      double e = expected.Number();
      return std::fabs(a - e) <= 1e-9 * std::max(1.0, std::fabs(e))
                 ? ""
                 : actual.AsText() + " != " + expected.text;
    }
    case ftBoolean:
      if (actual.kind() != FieldValue::Kind::Boolean) return "not a boolean";
      return actual.AsBoolean() == expected.boolean ? "" : "boolean differs";
    case ftDate:
    case ftDateTime: {
      if (actual.kind() != FieldValue::Kind::DateTime) return "not a date-time";
      std::string text = DateTimeText(actual.AsDateTime(), field.type == ftDateTime);
      if (field.type == ftDateTime && expected.text.size() == 19 && text.size() > 19) {
        return "'" + text + "' has milliseconds, '" + expected.text + "' not";
      }
      return text == expected.text ? "" : "'" + text + "' != '" + expected.text + "'";
    }
    default: {
      if (actual.kind() != FieldValue::Kind::Bytes) return "not a byte string";
      std::string bytes = Base64Decode(expected["base64"].text);
      if (actual.bytes().size() != static_cast<std::size_t>(expected["length"].Integer())) {
        return "length " + std::to_string(actual.bytes().size()) + " != " + expected["length"].text;
      }
      return actual.bytes() == bytes ? "" : "blob bytes differ";
    }
  }
}

// The type each letter of the expected files must be given.
TFieldType ExpectedType(const Json& field, int version) {
  char letter = field["type"].text[0];
  int size = static_cast<int>(field["size"].Integer());
  int decimals = static_cast<int>(field["decimals"].Integer());
  int flags = field.Has("flags") ? static_cast<int>(field["flags"].Integer()) : 0;
  bool vfp = version >= 0x30 && version <= 0x32;
  switch (letter) {
    case 'C':
    case 'V':
      return ftString;
    case 'N':
    case 'F':
      if (decimals > 0) return ftFloat;
      return size <= 4 ? ftSmallint : size <= 9 ? ftInteger : size <= 18 ? ftLargeint : ftFloat;
    case 'D':
      return ftDate;
    case 'L':
      return ftBoolean;
    case 'M':
      return vfp && (flags & 4) ? ftBlob : ftMemo;
    case 'I':
      return ftInteger;
    case 'Y':
      return ftCurrency;
    case 'T':
      return ftDateTime;
    default:
      return ftUnknown;
  }
}

class DbaseSampleTable : public ::testing::TestWithParam<std::string> {};

TEST_P(DbaseSampleTable, MatchesExpectedFieldsAndValues) {
  const std::string name = GetParam();
  Json expected = Json::ParseFile(SampleDir() + "/" + name + ".expected.json");
  auto table = OpenDbaseTable(SampleDir() + "/" + name + ".dbf", {});
  int version = static_cast<int>(expected["header"]["version_byte"].Integer());

  // System columns such as _NullFlags are no fields of ours.
  std::vector<std::size_t> shown;
  for (std::size_t i = 0; i < expected["fields"].items.size(); ++i) {
    if (!expected["fields"][i]["system"].boolean) shown.push_back(i);
  }
  const auto& fields = table->Fields();
  ASSERT_EQ(fields.size(), shown.size());
  for (std::size_t f = 0; f < shown.size(); ++f) {
    const Json& ef = expected["fields"][shown[f]];
    EXPECT_EQ(fields[f].name, ef["name"].text);
    EXPECT_EQ(fields[f].nativeType, ef["type"].text[0]) << ef["name"].text;
    EXPECT_EQ(fields[f].size, ef["size"].Integer()) << ef["name"].text;
    EXPECT_EQ(fields[f].decimals, ef["decimals"].Integer()) << ef["name"].text;
    EXPECT_EQ(fields[f].type, ExpectedType(ef, version)) << ef["name"].text;
  }

  const Json& records = expected["records"];
  ASSERT_EQ(table->RecordCount(), expected["record_count"].Integer());
  ASSERT_EQ(records.items.size(), static_cast<std::size_t>(table->RecordCount()));
  std::vector<FieldValue> values;
  int compared = 0;
  for (std::size_t r = 0; r < records.items.size(); ++r) {
    table->ReadRecord(static_cast<std::int64_t>(r), values);
    ASSERT_EQ(values.size(), fields.size());
    for (std::size_t f = 0; f < shown.size(); ++f) {
      std::string diff = Difference(fields[f], values[f], records[r][shown[f]]);
      EXPECT_EQ(diff, "") << name << " record " << r << " field " << fields[f].name;
      ++compared;
    }
  }
  EXPECT_EQ(compared, static_cast<int>(records.items.size() * shown.size()));
}

INSTANTIATE_TEST_SUITE_P(RealFiles, DbaseSampleTable,
                         ::testing::Values("cp1251", "dbase_03", "dbase_30", "dbase_31", "dbase_32",
                                           "dbase_83", "dbase_8b", "polygon"),
                         [](const auto& info) { return info.param; });

TEST(DbaseSampleTables, EveryTableWithValuesIsCovered) {
  // A table added to the sample folder must be added to the list above (or to the tests of the
  // two tables no reference reader could read).
  std::vector<std::string> found;
  for (const auto& entry : fs::directory_iterator(SampleDir())) {
    if (entry.path().extension() == ".dbf") found.push_back(entry.path().stem().string());
  }
  std::sort(found.begin(), found.end());
  EXPECT_EQ(found,
            (std::vector<std::string>{"cp1251", "dbase_02", "dbase_03", "dbase_30", "dbase_31",
                                      "dbase_32", "dbase_83", "dbase_8b", "dbase_8c", "polygon"}));
}

TEST(DbaseSampleTables, ReportsTheCodePageItDecodesWith) {
  EXPECT_EQ(OpenDbaseTable(SampleDir() + "/cp1251.dbf", {})->Encoding(), "CP1251");
  EXPECT_EQ(OpenDbaseTable(SampleDir() + "/dbase_30.dbf", {})->Encoding(), "CP1252");
  // Language driver 0 says nothing: code page 437.
  EXPECT_EQ(OpenDbaseTable(SampleDir() + "/dbase_03.dbf", {})->Encoding(), "CP437");
  // dBase 7 names its driver in the header instead of the driver byte.
  EXPECT_EQ(OpenDbaseTable(SampleDir() + "/dbase_8c.dbf", {})->Encoding(), "CP437");
}

// dbase_83 has no code page mark, so code page 437 applies: its memo bytes 0x8A and 0x85 read
// as "Crème" and "doà". Asked for Windows-1252, the same bytes give "CrŠme" and an ellipsis.
TEST(DbaseSampleTables, EncodingOptionOverridesASilentHeader) {
  auto memo = [](TableReader& t, std::int64_t record) {
    std::vector<FieldValue> values;
    t.ReadRecord(record, values);
    for (std::size_t i = 0; i < t.Fields().size(); ++i) {
      if (t.Fields()[i].name == "DESC") return values[i].bytes();
    }
    throw Exception("no field DESC");
  };
  auto silent = OpenDbaseTable(SampleDir() + "/dbase_83.dbf", {});
  EXPECT_NE(memo(*silent, 24).find("Raspberry Cr\xC3\xA8me"), std::string::npos);
  EXPECT_NE(memo(*silent, 1).find("have to do\xC3\xA0Petits"), std::string::npos);

  auto chosen = OpenDbaseTable(SampleDir() + "/dbase_83.dbf", {"CP1252"});
  EXPECT_EQ(chosen->Encoding(), "CP1252");
  EXPECT_NE(memo(*chosen, 24).find("Raspberry Cr\xC5\xA0me"), std::string::npos);
  EXPECT_NE(memo(*chosen, 1).find("have to do\xE2\x80\xA6Petits"), std::string::npos);
}

TEST(DbaseSampleTables, EncodingOptionOverridesTheLanguageDriver) {
  std::vector<FieldValue> values;
  auto table = OpenDbaseTable(SampleDir() + "/cp1251.dbf", {"KOI8-R"});
  EXPECT_EQ(table->Encoding(), "KOI8-R");
  table->ReadRecord(2, values);
  // "НИИ" in Windows-1251 is CD C8 C8, which KOI8-R reads as "мхх".
  EXPECT_EQ(values[1].bytes(), "\xD0\xBC\xD1\x85\xD1\x85");
}

TEST(DbaseSampleTables, UnknownEncodingOptionNamesTheFile) {
  try {
    OpenDbaseTable(SampleDir() + "/cp1251.dbf", {"NO-SUCH-CODEPAGE"});
    FAIL() << "opened with an unknown code page";
  } catch (const Exception& e) {
    EXPECT_NE(std::string(e.what()).find("cp1251.dbf"), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find("NO-SUCH-CODEPAGE"), std::string::npos) << e.what();
  }
}

// FoxBase / dBase II: no reference reader could read it; the schema comes from the source
// repository's summary file and the values from the bytes.
TEST(DbaseSampleTables, ReadsTheDbaseIITable) {
  Json expected = Json::ParseFile(SampleDir() + "/dbase_02.expected.json");
  auto table = OpenDbaseTable(SampleDir() + "/dbase_02.dbf", {});
  const Json& summary = expected["upstream_summary"];
  ASSERT_EQ(table->Fields().size(), summary["fields"].items.size());
  for (std::size_t i = 0; i < table->Fields().size(); ++i) {
    const SourceFieldDef& f = table->Fields()[i];
    EXPECT_EQ(f.name, summary["fields"][i]["name"].text);
    EXPECT_EQ(f.nativeType, summary["fields"][i]["type"].text[0]);
    EXPECT_EQ(f.size, summary["fields"][i]["size"].Integer());
  }
  // The summary gives 0 decimals for PAYRATE and START:PAY; the file says 3 ("   6.000").
  EXPECT_EQ(table->Fields()[12].decimals, 3);
  EXPECT_EQ(table->Fields()[0].type, ftSmallint);
  EXPECT_EQ(table->Fields()[12].type, ftFloat);
  ASSERT_EQ(table->RecordCount(), summary["record_count"].Integer());

  std::vector<FieldValue> values;
  table->ReadRecord(0, values);
  EXPECT_EQ(values[0], FieldValue::Integer(2));
  EXPECT_EQ(values[1], FieldValue::Bytes("Stegman"));
  EXPECT_EQ(values[3], FieldValue::Bytes("4421 W 166th ST"));
  EXPECT_EQ(values[8], FieldValue::Bytes("07/31/82"));
  EXPECT_EQ(values[12], FieldValue::Double(6.0));
  table->ReadRecord(4, values);
  EXPECT_EQ(values[12], FieldValue::Double(3838.383));
  // The last record: "   .   " in START:PAY is no number.
  table->ReadRecord(8, values);
  EXPECT_EQ(values[0], FieldValue::Integer(11));
  EXPECT_TRUE(values[1].IsNull());
  EXPECT_EQ(values[12], FieldValue::Double(0.0));
  EXPECT_TRUE(values[13].IsNull());
}

// dBase 7: the .dbt named by the table is not in the sample folder. The table is read from a
// copy with a memo file written here, holding a text at each block the records point to.
TEST(DbaseSampleTables, ReadsTheDbase7Table) {
  std::string dir = test::TempDir() + "/dbase7";
  fs::create_directories(dir);
  fs::copy_file(SampleDir() + "/dbase_8c.dbf", dir + "/dbase_8c.dbf",
                fs::copy_options::overwrite_existing);
  {
    std::string dbt(512 * 900, '\0');
    dbt[20] = 0x00;
    dbt[21] = 0x02;  // block size 512
    for (int block : {834, 836, 666, 3,   2,   86,  1,   169, 85,  252,
                      168, 335, 251, 418, 334, 502, 417, 584, 500, 668}) {
      std::string text = "memo at " + std::to_string(block);
      std::string head = {'\xFF', '\xFF', '\x08', '\x00', static_cast<char>(text.size() + 8),
                          0,      0,      0};
      dbt.replace(static_cast<std::size_t>(block) * 512, head.size() + text.size(), head + text);
    }
    std::ofstream(dir + "/dbase_8c.dbt", std::ios::binary) << dbt;
  }
  auto table = OpenDbaseTable(dir + "/dbase_8c.dbf", {});
  const auto& f = table->Fields();
  ASSERT_EQ(f.size(), 6u);
  EXPECT_EQ(f[0].name, "ID");
  EXPECT_EQ(f[0].type, ftAutoInc);
  EXPECT_EQ(f[1].name, "Name");
  EXPECT_EQ(f[1].type, ftString);
  EXPECT_EQ(f[1].size, 30);
  EXPECT_EQ(f[3].name, "Length CM");
  EXPECT_EQ(f[3].type, ftFloat);
  EXPECT_EQ(f[4].type, ftMemo);
  EXPECT_EQ(f[5].name, "OLE Graphic");
  EXPECT_EQ(f[5].type, ftDBaseOle);
  ASSERT_EQ(table->RecordCount(), 10);

  std::vector<FieldValue> values;
  table->ReadRecord(0, values);
  EXPECT_EQ(values[0], FieldValue::Integer(1));
  EXPECT_EQ(values[1], FieldValue::Bytes("Clown Triggerfish"));
  EXPECT_EQ(values[2], FieldValue::Bytes("Ballistoides conspicillum"));
  EXPECT_EQ(values[3], FieldValue::Double(100.0));
  EXPECT_EQ(values[4], FieldValue::Bytes("memo at 834"));
  EXPECT_EQ(values[5], FieldValue::Bytes("memo at 836"));
  table->ReadRecord(1, values);
  EXPECT_EQ(values[0], FieldValue::Integer(2));
  EXPECT_EQ(values[4], FieldValue::Bytes("memo at 666"));
  EXPECT_EQ(values[5], FieldValue::Bytes("memo at 3"));
  table->ReadRecord(9, values);
  EXPECT_EQ(values[0], FieldValue::Integer(10));
  EXPECT_EQ(values[1], FieldValue::Bytes("Bluehead Wrasse"));
  EXPECT_EQ(values[3], FieldValue::Double(15.0));
  EXPECT_EQ(values[4], FieldValue::Bytes("memo at 500"));
}

TEST(DbaseSampleTables, MissingMemoFileFailsOnlyWhenAMemoIsRead) {
  auto table = OpenDbaseTable(SampleDir() + "/dbase_8c.dbf", {});
  EXPECT_EQ(table->RecordCount(), 10);
  std::vector<FieldValue> values;
  try {
    table->ReadRecord(0, values);
    FAIL() << "read a memo without memo file";
  } catch (const Exception& e) {
    std::string message = e.what();
    EXPECT_NE(message.find("dbase_8c.dbf"), std::string::npos) << message;
    EXPECT_NE(message.find("memo file dbase_8c.dbt not found"), std::string::npos) << message;
  }
}

}  // namespace
}  // namespace tabulix::source
