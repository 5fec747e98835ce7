#include "app/core/ValueFormatter.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "app/core/Base64.h"
#include "framework/DateTime.h"
#include "framework/TField.h"

namespace tabulix::app {

namespace {

// "00" to "99", two characters each.
constexpr auto kDigitPairs = [] {
  std::array<char, 200> pairs{};
  for (int i = 0; i < 100; ++i) {
    pairs[static_cast<std::size_t>(2 * i)] = static_cast<char>('0' + i / 10);
    pairs[static_cast<std::size_t>(2 * i + 1)] = static_cast<char>('0' + i % 10);
  }
  return pairs;
}();

// Writes value in width digits, with leading zeros, and gives the end.
char* PutDigits(char* p, int value, int width) {
  int i = width;
  for (; i >= 2; i -= 2) {
    std::memcpy(p + i - 2, &kDigitPairs[static_cast<std::size_t>(value % 100) * 2], 2);
    value /= 100;
  }
  if (i == 1) p[0] = static_cast<char>('0' + value % 10);
  return p + width;
}

// Writes v in decimal and gives the end; the same text as std::to_chars.
char* PutInteger(char* p, std::int64_t v) {
  std::uint64_t magnitude = static_cast<std::uint64_t>(v);
  if (v < 0) {
    *p++ = '-';
    magnitude = 0 - magnitude;
  }
  if (magnitude >= 100000000) return std::to_chars(p, p + 20, magnitude).ptr;
  auto m = static_cast<int>(magnitude);
  int width = m < 10         ? 1
              : m < 100      ? 2
              : m < 1000     ? 3
              : m < 10000    ? 4
              : m < 100000   ? 5
              : m < 1000000  ? 6
              : m < 10000000 ? 7
                             : 8;
  return PutDigits(p, m, width);
}

void AppendInteger(std::string& out, std::int64_t v) {
  char buf[24];
  out.append(buf, static_cast<std::size_t>(PutInteger(buf, v) - buf));
}

void AppendDigits(std::string& out, int value, int width) {
  char buf[8];
  out.append(buf, static_cast<std::size_t>(PutDigits(buf, value, width) - buf));
}

// "YYYY-MM-DD", "HH:MM:SS[.mmm]" or both, as the field type asks.
void AppendDateTime(std::string& out, TDateTime value, bool date, bool time) {
  char buf[32];
  char* p = buf;
  if (date) {
    DateParts d = DecodeDate(value);
    p = PutDigits(p, d.year, 4);
    *p++ = '-';
    p = PutDigits(p, d.month, 2);
    *p++ = '-';
    p = PutDigits(p, d.day, 2);
    if (time) *p++ = ' ';
  }
  if (time) {
    int ms = DateTimeToMsOfDay(value);
    p = PutDigits(p, ms / 3600000, 2);
    *p++ = ':';
    p = PutDigits(p, ms / 60000 % 60, 2);
    *p++ = ':';
    p = PutDigits(p, ms / 1000 % 60, 2);
    if (ms % 1000 != 0) {
      *p++ = '.';
      p = PutDigits(p, ms % 1000, 3);
    }
  }
  out.append(buf, static_cast<std::size_t>(p - buf));
}

int DecimalDigits(std::uint64_t v) {
  int n = 1;
  while (v >= 10) {
    v /= 10;
    ++n;
  }
  return n;
}

// The shortest text that reads back as d, as std::to_chars writes it. Values with at most six
// decimals below 1e9 (the common case in tables) take a quick road: the fewest decimals k for
// which the rounded d * 10^k divided by 10^k gives d back are the shortest digits, written in
// fixed form unless the exponent form is shorter. Everything else goes to std::to_chars.
void AppendShortestDouble(std::string& out, double d) {
  static constexpr double kPowers[] = {1, 10, 100, 1000, 10000, 100000, 1000000};
  static constexpr std::int64_t kWholePowers[] = {1, 10, 100, 1000, 10000, 100000, 1000000};
  double magnitude = std::fabs(d);
  if (magnitude < 1e9 && magnitude >= 1e-6) {
    for (int k = 0; k < 7; ++k) {
      // A product near half way never round-trips, so adding 0.5 rounds well enough here.
      // Below 1e15 the signed conversions are exact and cheaper than the unsigned ones.
      auto m = static_cast<std::int64_t>(magnitude * kPowers[k] + 0.5);
      if (static_cast<double>(m) / kPowers[k] != magnitude) continue;
      // With decimals and a whole part the fixed form is the shorter one; otherwise compare.
      if (k == 0 || magnitude < 1) {
        int digits = DecimalDigits(static_cast<std::uint64_t>(m));
        std::int64_t stripped = m;
        int significant = digits;
        while (stripped % 10 == 0) {
          stripped /= 10;
          --significant;
        }
        int fixedLength = k == 0 ? digits : 2 + k;
        int exponentLength = significant + (significant > 1 ? 1 : 0) + 4;
        if (fixedLength > exponentLength) break;
      }
      char buf[32];
      char* p = buf;
      if (d < 0) *p++ = '-';
      p = PutInteger(p, m / kWholePowers[k]);
      if (k > 0) {
        *p++ = '.';
        p = PutDigits(p, static_cast<int>(m % kWholePowers[k]), k);
      }
      out.append(buf, static_cast<std::size_t>(p - buf));
      return;
    }
  }
  char buf[32];
  out.append(buf, static_cast<std::size_t>(std::to_chars(buf, buf + sizeof buf, d).ptr - buf));
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
  out.append(buf, static_cast<std::size_t>(p.ptr - buf));
  if (decimals > 0) {
    out.push_back('.');
    AppendDigits(out, static_cast<int>(magnitude % divisor), decimals);
  }
}

bool IsTextType(TFieldType type) {
  return type == ftString || type == ftFixedChar || type == ftWideString || type == ftMemo;
}

}  // namespace

// Inlined into both callers: one call per value instead of two.
[[gnu::always_inline]] inline ValueShape ValueFormatter::Format(const TField& field,
                                                                const FieldValue& value,
                                                                std::string& out,
                                                                std::string_view& text) {
  switch (value.kind()) {
    case FieldValue::Kind::Empty:
    case FieldValue::Kind::Null:
      return ValueShape::Null;
    case FieldValue::Kind::Integer:
    case FieldValue::Kind::Largeint:
      AppendInteger(out, value.integer());
      return ValueShape::Bare;
    case FieldValue::Kind::Double: {
      double d = value.real();
      if (std::isnan(d)) {
        out.append("NaN");
        return ValueShape::PlainText;
      }
      if (std::isinf(d)) {
        out.append(d > 0 ? "Infinity" : "-Infinity");
        return ValueShape::PlainText;
      }
      AppendShortestDouble(out, d);
      return ValueShape::Bare;
    }
    case FieldValue::Kind::Currency: {
      int decimals = field.DataType() == ftBCD ? field.Size() : 4;
      AppendDecimal(out, value.integer(), decimals < 0 ? 0 : decimals > 4 ? 4 : decimals);
      return ValueShape::Bare;
    }
    case FieldValue::Kind::Boolean:
      out.append(value.boolean() ? "true" : "false");
      return ValueShape::Bare;
    case FieldValue::Kind::DateTime: {
      TFieldType type = field.DataType();
      AppendDateTime(out, value.real(), type != ftTime, type != ftDate);
      return ValueShape::PlainText;
    }
    case FieldValue::Kind::Bytes:
      if (IsTextType(field.DataType())) {
        text = value.bytes();
        return ValueShape::Text;
      }
      AppendBase64(out, value.bytes());
      return ValueShape::PlainText;
  }
  return ValueShape::Null;
}

RenderedValue ValueFormatter::Render(const TField& field, const FieldValue& value) {
  scratch_.clear();
  std::string_view text;
  ValueShape shape = Format(field, value, scratch_, text);
  if (shape == ValueShape::Text) return {shape, text};
  if (shape == ValueShape::Null) return {shape, {}};
  return {shape, scratch_};
}

void ValueFormatter::AppendCsv(const TField& field, const FieldValue& value, std::string& out) {
  std::size_t before = out.size();
  std::string_view text;
  ValueShape shape = Format(field, value, out, text);
  if (shape == ValueShape::Text) {
    AppendCsvField(out, text);
  } else if (shape == ValueShape::PlainText && out.size() == before) {
    AppendCsvField(out, {});  // an empty text differs from a missing value
  }
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

namespace {

// Whether one of the eight bytes in word equals the byte that every byte of pattern holds.
bool HasByte(std::uint64_t word, std::uint64_t pattern) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ull;
  constexpr std::uint64_t kHighs = 0x8080808080808080ull;
  std::uint64_t x = word ^ pattern;
  return ((x - kOnes) & ~x & kHighs) != 0;
}

bool NeedsCsvQuotes(std::string_view text) {
  static constexpr auto kSpecial = [] {
    std::array<bool, 256> table{};
    table[','] = table['"'] = table['\n'] = table['\r'] = true;
    return table;
  }();
  if (text.empty()) return true;
  constexpr std::uint64_t kOnes = 0x0101010101010101ull;
  std::size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + i, 8);
    if (HasByte(word, kOnes * ',') || HasByte(word, kOnes * '"') || HasByte(word, kOnes * '\n') ||
        HasByte(word, kOnes * '\r')) {
      return true;
    }
  }
  for (; i < text.size(); ++i) {
    if (kSpecial[static_cast<unsigned char>(text[i])]) return true;
  }
  return false;
}

}  // namespace

void AppendCsvField(std::string& out, std::string_view text) {
  if (!NeedsCsvQuotes(text)) {
    out.append(text);
    return;
  }
  out.push_back('"');
  // Each run up to and including a quote, then that quote once more.
  for (std::size_t quote; (quote = text.find('"')) != std::string_view::npos;) {
    out.append(text.data(), quote + 1);
    out.push_back('"');
    text.remove_prefix(quote + 1);
  }
  out.append(text);
  out.push_back('"');
}

}  // namespace tabulix::app
