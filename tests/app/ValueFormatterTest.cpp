#include "app/core/ValueFormatter.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "app/core/Base64.h"
#include "framework/FieldFactory.h"

namespace tabulix::app {
namespace {

struct RenderCase {
  const char* name;
  TFieldType type;
  int size;
  FieldValue value;
  ValueShape shape;
  std::string text;
};

TDateTime At(int y, int mo, int d, int h, int mi, int s, int ms) {
  return ComposeDateTime(EncodeDate(y, mo, d), EncodeTime(h, mi, s, ms));
}

std::vector<RenderCase> Cases() {
  using K = ValueShape;
  return {
      {"null", ftInteger, 0, FieldValue::Null(), K::Null, ""},
      {"integer", ftInteger, 0, FieldValue::Integer(-42), K::Bare, "-42"},
      {"largeint exact", ftLargeint, 0,
       FieldValue::Largeint(std::numeric_limits<std::int64_t>::min()), K::Bare,
       "-9223372036854775808"},
      {"double shortest", ftFloat, 0, FieldValue::Double(0.1), K::Bare, "0.1"},
      {"double binary", ftCurrency, 0, FieldValue::Double(0.16999999999999998), K::Bare,
       "0.16999999999999998"},
      {"double integral", ftFloat, 0, FieldValue::Double(12.0), K::Bare, "12"},
      {"double large", ftFloat, 0, FieldValue::Double(1e21), K::Bare, "1e+21"},
      {"double nan", ftFloat, 0, FieldValue::Double(NAN), K::PlainText, "NaN"},
      {"double -inf", ftFloat, 0, FieldValue::Double(-INFINITY), K::PlainText, "-Infinity"},
      {"bcd two decimals", ftBCD, 2, FieldValue::FromCurrency({12300}), K::Bare, "1.23"},
      {"bcd rounds half away", ftBCD, 2, FieldValue::FromCurrency({-5050}), K::Bare, "-0.51"},
      {"bcd small negative", ftBCD, 2, FieldValue::FromCurrency({-5000}), K::Bare, "-0.50"},
      {"bcd no decimals", ftBCD, 0, FieldValue::FromCurrency({-15000}), K::Bare, "-2"},
      {"bcd at most four", ftBCD, 32, FieldValue::FromCurrency({1230}), K::Bare, "0.1230"},
      {"bcd lowest", ftBCD, 4, FieldValue::FromCurrency({std::numeric_limits<std::int64_t>::min()}),
       K::Bare, "-922337203685477.5808"},
      {"boolean", ftBoolean, 0, FieldValue::Boolean(false), K::Bare, "false"},
      {"date", ftDate, 0, FieldValue::DateTime(EncodeDate(1, 1, 1)), K::PlainText, "0001-01-01"},
      {"time", ftTime, 0, FieldValue::DateTime(EncodeTime(7, 5, 3, 0)), K::PlainText, "07:05:03"},
      {"time ms", ftTime, 0, FieldValue::DateTime(EncodeTime(23, 59, 59, 7)), K::PlainText,
       "23:59:59.007"},
      {"datetime midnight", ftDateTime, 0, FieldValue::DateTime(EncodeDate(2020, 2, 1)),
       K::PlainText, "2020-02-01 00:00:00"},
      {"datetime ms", ftDateTime, 0, FieldValue::DateTime(At(1899, 12, 29, 6, 0, 0, 250)),
       K::PlainText, "1899-12-29 06:00:00.250"},
      {"string", ftString, 10, FieldValue::Bytes("a,\"b\""), K::Text, "a,\"b\""},
      {"memo", ftMemo, 0, FieldValue::Bytes("x\r\ny"), K::Text, "x\r\ny"},
      {"empty memo", ftMemo, 0, FieldValue::Bytes(""), K::Text, ""},
      {"blob", ftBlob, 0, FieldValue::Bytes(std::string("\0\xff", 2)), K::PlainText, "AP8="},
      {"graphic", ftGraphic, 0, FieldValue::Bytes("BM"), K::PlainText, "Qk0="},
      {"bytes", ftBytes, 2, FieldValue::Bytes("ab"), K::PlainText, "YWI="},
      {"formatted memo", ftFmtMemo, 0, FieldValue::Bytes("{"), K::PlainText, "ew=="},
  };
}

TEST(ValueFormatterTest, RendersEachKindByItsFieldType) {
  ValueFormatter formatter;
  for (const RenderCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    auto field = CreateFieldForType(c.type);
    field->SetSize(c.size);
    RenderedValue v = formatter.Render(*field, c.value);
    EXPECT_EQ(v.shape, c.shape);
    EXPECT_EQ(v.text, c.text);
  }
}

TEST(ValueFormatterTest, DoublesRoundTrip) {
  ValueFormatter formatter;
  auto field = CreateFieldForType(ftFloat);
  for (double d : {1.0 / 3, 5e-324, 1.7976931348623157e308, -2.5e-7, 1234.56}) {
    FieldValue value = FieldValue::Double(d);
    std::string text(formatter.Render(*field, value).text);
    EXPECT_EQ(std::strtod(text.c_str(), nullptr), d) << text;
  }
}

TEST(ValueFormatterTest, QuickDoubleTextEqualsToChars) {
  ValueFormatter formatter;
  auto field = CreateFieldForType(ftFloat);
  std::vector<double> values;
  for (int i = -20000; i <= 20000; ++i) {
    values.push_back(i / 100.0);
    values.push_back(i * 0.1);
    values.push_back(i * 1e-6);
    values.push_back(i * 12345.678);
    values.push_back(i * 1e4);
  }
  for (double d : {1e-6, 1e-7, 0.001, 0.0001, 0.00123, 123456789.123456, 999999999.9999999,
                   100000000.0, 120000000.0, 1e9, 0.1 + 0.2, 1.0 / 3, 2.5e-5}) {
    values.push_back(d);
  }
  std::uint64_t bits = 0x9E3779B97F4A7C15u;
  for (int i = 0; i < 20000; ++i) {
    bits ^= bits << 13;
    bits ^= bits >> 7;
    bits ^= bits << 17;
    values.push_back(static_cast<double>(bits % 2000000000000) / 1000.0 - 1e9);
  }
  for (double d : values) {
    char buf[32];
    std::string expected(buf, std::to_chars(buf, buf + sizeof buf, d).ptr);
    FieldValue value = FieldValue::Double(d);
    ASSERT_EQ(formatter.Render(*field, value).text, expected) << d;
  }
}

TEST(ValueFormatterTest, IntegersEqualToChars) {
  ValueFormatter formatter;
  auto field = CreateFieldForType(ftLargeint);
  std::vector<std::int64_t> values = {0, std::numeric_limits<std::int64_t>::min(),
                                      std::numeric_limits<std::int64_t>::max()};
  // Both sides of every change in the number of digits.
  std::int64_t power = 1;
  for (int digits = 0; digits <= 18; ++digits, power *= 10) {
    for (std::int64_t v : {power - 1, power, power + 1}) {
      values.push_back(v);
      values.push_back(-v);
    }
    if (digits == 18) break;
  }
  for (std::int64_t v : values) {
    char buf[24];
    std::string expected(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
    FieldValue value = FieldValue::Largeint(v);
    ASSERT_EQ(formatter.Render(*field, value).text, expected);
  }
}

TEST(ValueFormatterTest, CsvAppendEqualsRenderedAndQuotedText) {
  // What a CSV writer made of Render's result before values were appended directly.
  ValueFormatter formatter;
  ValueFormatter reference;
  std::vector<RenderCase> cases = Cases();
  cases.push_back({"empty blob", ftBlob, 0, FieldValue::Bytes(""), ValueShape::PlainText, ""});
  cases.push_back({"empty string", ftString, 5, FieldValue::Bytes(""), ValueShape::Text, ""});
  for (const RenderCase& c : cases) {
    SCOPED_TRACE(c.name);
    auto field = CreateFieldForType(c.type);
    field->SetSize(c.size);
    RenderedValue v = reference.Render(*field, c.value);
    std::string expected = "x,";
    if (v.shape == ValueShape::Bare || (v.shape == ValueShape::PlainText && !v.text.empty())) {
      expected.append(v.text);
    } else if (v.shape != ValueShape::Null) {
      AppendCsvField(expected, v.text);
    }
    std::string out = "x,";
    formatter.AppendCsv(*field, c.value, out);
    EXPECT_EQ(out, expected);
  }
}

TEST(JsonStringTest, EscapesQuotesBackslashesAndControlCharacters) {
  std::string out;
  AppendJsonString(out, std::string("a\"b\\c\n\r\t\x01\x1f\x7f", 11));
  EXPECT_EQ(out, "\"a\\\"b\\\\c\\n\\r\\t\\u0001\\u001f\x7f\"");
}

TEST(JsonStringTest, KeepsValidUtf8AndReplacesInvalidBytes) {
  std::string out;
  AppendJsonString(out, "\xc3\xa4\xe2\x82\xac\xf0\x9f\x98\x80");
  EXPECT_EQ(out, "\"\xc3\xa4\xe2\x82\xac\xf0\x9f\x98\x80\"");
  out.clear();
  // A lone continuation byte, a cut sequence, an overlong form and a surrogate.
  AppendJsonString(out, "a\x80z\xe2\x82\xc0\xaf\xed\xa0\x80");
  EXPECT_EQ(out, "\"a\\ufffdz\\ufffd\\ufffd\\ufffd\\ufffd\\ufffd\\ufffd\\ufffd\"");
}

TEST(CsvFieldTest, QuotesOnlyWhenNeededAndEmptyTexts) {
  auto csv = [](std::string_view s) {
    std::string out;
    AppendCsvField(out, s);
    return out;
  };
  EXPECT_EQ(csv("plain text"), "plain text");
  EXPECT_EQ(csv("a,b"), "\"a,b\"");
  EXPECT_EQ(csv("say \"hi\""), "\"say \"\"hi\"\"\"");
  EXPECT_EQ(csv("two\nlines"), "\"two\nlines\"");
  EXPECT_EQ(csv("cr\r"), "\"cr\r\"");
  EXPECT_EQ(csv(""), "\"\"");
  // Each special character at every place of a text longer than the eight-byte steps, and
  // bytes next to them that are not special.
  for (char special : {',', '"', '\n', '\r'}) {
    for (std::size_t at = 0; at < 21; ++at) {
      std::string text(21, 'a');
      text[at] = special;
      std::string quoted = "\"" + text + "\"";
      if (special == '"') quoted.insert(at + 1, "\"");
      EXPECT_EQ(csv(text), quoted) << at;
    }
  }
  std::string near = "+-./\x0b\x0c\x0e!#\xac\xa2\x8d\x8a";
  EXPECT_EQ(csv(near), near);
}

TEST(Base64Test, StandardAlphabetWithPadding) {
  const std::pair<const char*, const char*> vectors[] = {
      {"", ""},
      {"f", "Zg=="},
      {"fo", "Zm8="},
      {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="},
      {"foobar", "Zm9vYmFy"},
      {"\xfb\xff", "+/8="},
  };
  for (const auto& [in, expected] : vectors) {
    std::string out = "prefix:";
    AppendBase64(out, in);
    EXPECT_EQ(out, std::string("prefix:") + expected);
  }
}

}  // namespace
}  // namespace tabulix::app
