#include "app/core/ValueFormatter.h"

#include <charconv>
#include <cmath>
#include <cstdint>

#include "app/core/Base64.h"
#include "framework/DateTime.h"
#include "framework/TField.h"

namespace tabulix::app {

namespace {

void AppendInteger(std::string& out, std::int64_t v) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, r.ptr);
}

void AppendDigits(std::string& out, int value, int width) {
  char buf[8];
  for (int i = width - 1; i >= 0; --i) {
    buf[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
  out.append(buf, static_cast<std::size_t>(width));
}

void AppendDate(std::string& out, TDateTime value) {
  DateParts d = DecodeDate(value);
  AppendDigits(out, d.year, 4);
  out.push_back('-');
  AppendDigits(out, d.month, 2);
  out.push_back('-');
  AppendDigits(out, d.day, 2);
}

void AppendTime(std::string& out, TDateTime value) {
  TimeParts t = DecodeTime(value);
  AppendDigits(out, t.hour, 2);
  out.push_back(':');
  AppendDigits(out, t.minute, 2);
  out.push_back(':');
  AppendDigits(out, t.second, 2);
  if (t.millisecond != 0) {
    out.push_back('.');
    AppendDigits(out, t.millisecond, 3);
  }
}

// A currency value (ten-thousandths) with the given number of decimals, rounded half away
// from zero.
void AppendDecimal(std::string& out, std::int64_t scaled, int decimals) {
  static constexpr std::int64_t kPowers[] = {1, 10, 100, 1000, 10000};
  std::int64_t unit = kPowers[4 - decimals];
  std::int64_t q = scaled / unit;
  std::int64_t r = scaled % unit;
  if (r * 2 >= unit) ++q;
  if (r * 2 <= -unit) --q;
  bool negative = q < 0;
  std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(q) : q;
  std::uint64_t divisor = static_cast<std::uint64_t>(kPowers[decimals]);
  if (negative) out.push_back('-');
  char buf[24];
  auto p = std::to_chars(buf, buf + sizeof buf, magnitude / divisor);
  out.append(buf, p.ptr);
  if (decimals > 0) {
    out.push_back('.');
    AppendDigits(out, static_cast<int>(magnitude % divisor), decimals);
  }
}

bool IsTextType(TFieldType type) {
  return type == ftString || type == ftFixedChar || type == ftWideString || type == ftMemo;
}

}  // namespace

RenderedValue ValueFormatter::Render(const TField& field, const FieldValue& value) {
  scratch_.clear();
  switch (value.kind()) {
    case FieldValue::Kind::Empty:
    case FieldValue::Kind::Null:
      return {ValueShape::Null, {}};
    case FieldValue::Kind::Integer:
    case FieldValue::Kind::Largeint:
      AppendInteger(scratch_, value.AsLargeint());
      return {ValueShape::Bare, scratch_};
    case FieldValue::Kind::Double: {
      double d = value.AsDouble();
      if (std::isnan(d)) return {ValueShape::Text, "NaN"};
      if (std::isinf(d)) return {ValueShape::Text, d > 0 ? "Infinity" : "-Infinity"};
      char buf[32];
      auto r = std::to_chars(buf, buf + sizeof buf, d);
      scratch_.append(buf, r.ptr);
      return {ValueShape::Bare, scratch_};
    }
    case FieldValue::Kind::Currency: {
      int decimals = field.DataType() == ftBCD ? field.Size() : 4;
      AppendDecimal(scratch_, value.AsCurrency().scaled,
                    decimals < 0   ? 0
                    : decimals > 4 ? 4
                                   : decimals);
      return {ValueShape::Bare, scratch_};
    }
    case FieldValue::Kind::Boolean:
      return {ValueShape::Bare, value.AsBoolean() ? "true" : "false"};
    case FieldValue::Kind::DateTime: {
      TDateTime t = value.AsDateTime();
      TFieldType type = field.DataType();
      if (type != ftTime) AppendDate(scratch_, t);
      if (type != ftTime && type != ftDate) scratch_.push_back(' ');
      if (type != ftDate) AppendTime(scratch_, t);
      return {ValueShape::Text, scratch_};
    }
    case FieldValue::Kind::Bytes:
      if (IsTextType(field.DataType())) return {ValueShape::Text, value.bytes()};
      AppendBase64(scratch_, value.bytes());
      return {ValueShape::Text, scratch_};
  }
  return {ValueShape::Null, {}};
}

namespace {

// Length of the valid UTF-8 sequence at s[i], or 0 when the bytes there are not one.
std::size_t Utf8SequenceLength(std::string_view s, std::size_t i) {
  auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  unsigned char b = byte(i);
  std::size_t n = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
  if (b < 0xC2 || b > 0xF4 || i + n > s.size()) return 0;
  for (std::size_t k = 1; k < n; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
  }
  unsigned char b1 = byte(i + 1);
  if (b == 0xE0 && b1 < 0xA0) return 0;  // overlong
  if (b == 0xED && b1 > 0x9F) return 0;  // surrogate
  if (b == 0xF0 && b1 < 0x90) return 0;  // overlong
  if (b == 0xF4 && b1 > 0x8F) return 0;  // beyond U+10FFFF
  return n;
}

}  // namespace

void AppendJsonString(std::string& out, std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  out.push_back('"');
  std::size_t run = 0;  // start of the bytes that pass unchanged
  std::size_t i = 0;
  while (i < text.size()) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c != '"' && c != '\\' && c < 0x80) {
      ++i;
      continue;
    }
    if (c >= 0x80) {
      if (std::size_t n = Utf8SequenceLength(text, i)) {
        i += n;
        continue;
      }
    }
    out.append(text.data() + run, i - run);
    switch (c) {
      case '"':
        out.append("\\\"");
        break;
      case '\\':
        out.append("\\\\");
        break;
      case '\n':
        out.append("\\n");
        break;
      case '\r':
        out.append("\\r");
        break;
      case '\t':
        out.append("\\t");
        break;
      default:
        if (c >= 0x80) {
          out.append("\\ufffd");
        } else {
          out.append("\\u00");
          out.push_back(kHex[c >> 4]);
          out.push_back(kHex[c & 15]);
        }
    }
    run = ++i;
  }
  out.append(text.data() + run, text.size() - run);
  out.push_back('"');
}

void AppendCsvField(std::string& out, std::string_view text) {
  if (!text.empty() && text.find_first_of(",\"\r\n") == std::string_view::npos) {
    out.append(text);
    return;
  }
  out.push_back('"');
  for (char c : text) {
    if (c == '"') out.push_back('"');
    out.push_back(c);
  }
  out.push_back('"');
}

}  // namespace tabulix::app
