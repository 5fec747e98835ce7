// Reads every real Paradox table of the sample set and compares fields and values with the
// values independent readers produced (NAME.expected.json beside each table).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "framework/AsciiCase.h"
#include "framework/DateTime.h"
#include "framework/Exceptions.h"
#include "source/paradox/ParadoxReader.h"
#include "support/Json.h"
#include "support/TestData.h"

namespace tabulix::source {
namespace {

namespace fs = std::filesystem;
using test::Json;

std::string Base64(const std::string& bytes) {
  static const char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  std::size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) |
                 (static_cast<unsigned char>(bytes[i + 1]) << 8) |
                 static_cast<unsigned char>(bytes[i + 2]);
    for (int shift = 18; shift >= 0; shift -= 6) out += kAlphabet[(v >> shift) & 63];
  }
  std::size_t rest = bytes.size() - i;
  if (rest > 0) {
    unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
    if (rest == 2) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    out += kAlphabet[(v >> 18) & 63];
    out += kAlphabet[(v >> 12) & 63];
    out += rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

TEST(ParadoxBase64, EncodesTheStandardExamples) {
  EXPECT_EQ(Base64(""), "");
  EXPECT_EQ(Base64("f"), "Zg==");
  EXPECT_EQ(Base64("fo"), "Zm8=");
  EXPECT_EQ(Base64("foo"), "Zm9v");
  EXPECT_EQ(Base64("foob"), "Zm9vYg==");
  EXPECT_EQ(Base64(std::string("\xFF\xFE\x00", 3)), "//4A");
}

// A decimal text rounded half away from zero to the four decimals of a currency value.
std::int64_t DecimalToScaled(const std::string& text) {
  bool negative = !text.empty() && text[0] == '-';
  std::string digits = negative ? text.substr(1) : text;
  std::size_t point = digits.find('.');
  std::string whole = digits.substr(0, point);
  std::string fraction = point == std::string::npos ? "" : digits.substr(point + 1);
  fraction.resize(5, '0');
  std::int64_t scaled =
      std::stoll(whole.empty() ? "0" : whole) * 10000 + std::stoll(fraction.substr(0, 4));
  if (fraction[4] >= '5') ++scaled;
  return negative ? -scaled : scaled;
}

std::string TwoDigits(int v) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02d", v);
  return buf;
}

std::string DateText(TDateTime v) {
  DateParts d = DecodeDate(v);
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.year, d.month, d.day);
  return buf;
}

std::string TimeText(TDateTime v) {
  TimeParts t = DecodeTime(v);
  std::string s = TwoDigits(t.hour) + ":" + TwoDigits(t.minute) + ":" + TwoDigits(t.second);
  if (t.millisecond != 0) {
    char buf[8];
    std::snprintf(buf, sizeof buf, ".%03d", t.millisecond);
    s += buf;
  }
  return s;
}

TFieldType TypeOfLetter(const std::string& letter) {
  static const std::map<std::string, TFieldType> kTypes{
      {"A", ftString},   {"D", ftDate},     {"S", ftSmallint},   {"I", ftInteger},
      {"$", ftCurrency}, {"N", ftFloat},    {"L", ftBoolean},    {"M", ftMemo},
      {"F", ftFmtMemo},  {"B", ftBlob},     {"O", ftParadoxOle}, {"G", ftGraphic},
      {"T", ftTime},     {"@", ftDateTime}, {"+", ftAutoInc},    {"#", ftBCD},
      {"Y", ftBytes}};
  return kTypes.at(letter);
}

std::vector<std::string> SampleTables() {
  std::vector<std::string> tables;
  fs::path root = fs::path(test::RealDataDir()) / "paradox";
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (LowerCase(entry.path().extension().string()) == ".db")
      tables.push_back(entry.path().string());
  }
  std::sort(tables.begin(), tables.end());
  return tables;
}

std::string ExpectedPath(const std::string& table) {
  fs::path p(table);
  return (p.parent_path() / (p.stem().string() + ".expected.json")).string();
}

void ExpectValue(const Json& want, const FieldValue& got, const SourceFieldDef& field,
                 const std::string& where) {
  SCOPED_TRACE(where);
  if (want.IsNull()) {
    EXPECT_TRUE(got.IsNull()) << "got " << got.AsText();
    return;
  }
  ASSERT_FALSE(got.IsNullOrEmpty());
  switch (field.type) {
    case ftString:
    case ftMemo:
      ASSERT_EQ(got.kind(), FieldValue::Kind::Bytes);
      EXPECT_EQ(got.bytes(), want.text);
      break;
    case ftSmallint:
    case ftInteger:
    case ftAutoInc:
      ASSERT_EQ(got.kind(), FieldValue::Kind::Integer);
      EXPECT_EQ(got.AsInteger(), want.Integer());
      break;
    case ftFloat:
    case ftCurrency:
      ASSERT_EQ(got.kind(), FieldValue::Kind::Double);
      EXPECT_NEAR(got.AsDouble(), want.Number(), std::fabs(want.Number()) * 1e-15);
      break;
    case ftBCD:
      ASSERT_EQ(got.kind(), FieldValue::Kind::Currency);
      EXPECT_EQ(got.AsCurrency().scaled, DecimalToScaled(want.text)) << want.text;
      break;
    case ftBoolean:
      ASSERT_EQ(got.kind(), FieldValue::Kind::Boolean);
      EXPECT_EQ(got.AsBoolean(), want.boolean);
      break;
    case ftDate:
      ASSERT_EQ(got.kind(), FieldValue::Kind::DateTime);
      EXPECT_EQ(DateText(got.AsDateTime()), want.text);
      break;
    case ftTime:
      ASSERT_EQ(got.kind(), FieldValue::Kind::DateTime);
      EXPECT_EQ(TimeText(got.AsDateTime()), want.text);
      break;
    case ftDateTime:
      ASSERT_EQ(got.kind(), FieldValue::Kind::DateTime);
      EXPECT_EQ(DateText(got.AsDateTime()) + " " + TimeText(got.AsDateTime()), want.text);
      break;
    default:  // bytes and blobs
      ASSERT_EQ(got.kind(), FieldValue::Kind::Bytes);
      EXPECT_EQ(static_cast<long long>(got.bytes().size()), want["length"].Integer());
      EXPECT_EQ(Base64(got.bytes()), want["base64"].text);
  }
}

class ParadoxSampleTest : public ::testing::TestWithParam<std::string> {};

TEST_P(ParadoxSampleTest, MatchesExpectedFieldsAndValues) {
  const std::string table = GetParam();
  Json expected = Json::ParseFile(ExpectedPath(table));
  const Json& header = expected["header"];

  if (header["encrypted"].boolean) {
    // The decryption tables are not available; the reader must refuse the table clearly.
    try {
      OpenParadoxTable(table, {});
      FAIL() << "an encrypted table opened";
    } catch (const Exception& e) {
      EXPECT_NE(std::string(e.what()).find("encrypted"), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(table), std::string::npos) << e.what();
    }
    return;
  }

  // Where the header names a code page the text is not in, read with the right one.
  ReaderOptions options;
  const std::string textEncoding = header["text_encoding"].text;
  if (!header["code_page"].IsNull() && textEncoding != "CP" + header["code_page"].text) {
    options.encoding = textEncoding;
  }
  auto reader = OpenParadoxTable(table, options);
  EXPECT_EQ(reader->Encoding(), textEncoding);

  const Json& fields = expected["fields"];
  ASSERT_EQ(reader->Fields().size(), fields.items.size());
  for (std::size_t i = 0; i < fields.items.size(); ++i) {
    const SourceFieldDef& got = reader->Fields()[i];
    const Json& want = fields[i];
    SCOPED_TRACE("field " + want["name"].text);
    EXPECT_EQ(got.name, want["name"].text);
    EXPECT_EQ(got.type, TypeOfLetter(want["type"].text));
    EXPECT_EQ(std::string(1, got.nativeType), want["type"].text);
    EXPECT_EQ(got.size, want["size"].Integer());
    EXPECT_EQ(got.decimals, want["decimals"].Integer());
  }

  const Json& records = expected["records"];
  ASSERT_EQ(reader->RecordCount(), expected["record_count"].Integer());
  ASSERT_EQ(records.items.size(), static_cast<std::size_t>(reader->RecordCount()));
  std::vector<FieldValue> values;
  for (std::size_t r = 0; r < records.items.size(); ++r) {
    reader->ReadRecord(static_cast<std::int64_t>(r), values);
    ASSERT_EQ(values.size(), fields.items.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
      ExpectValue(records[r][i], values[i], reader->Fields()[i],
                  "record " + std::to_string(r) + ", field " + reader->Fields()[i].name);
    }
  }
}

std::string TestName(const ::testing::TestParamInfo<std::string>& info) {
  fs::path p(info.param);
  std::string name = p.parent_path().filename().string() + "_" + p.stem().string();
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
}

INSTANTIATE_TEST_SUITE_P(RealTables, ParadoxSampleTest, ::testing::ValuesIn(SampleTables()),
                         TestName);

TEST(ParadoxSampleSet, IsComplete) {
  // Guards against a scan that silently finds nothing: 40 tables, versions 3.0 to 7.0.
  EXPECT_EQ(SampleTables().size(), 40u);
}

}  // namespace
}  // namespace tabulix::source
