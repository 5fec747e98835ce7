#include "source/dbase/ValueDecoding.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>

#include "framework/NumberText.h"
#include "source/dbase/ByteOrder.h"

namespace tabulix::source::dbase {
namespace {

constexpr double kMsPerDay = 86400000.0;
constexpr std::int64_t kJulianDayOf18991230 = 2415019;
constexpr std::int64_t kJulianDayOf00010101 = 1721426;
constexpr std::int64_t kJulianDayOf99991231 = 5373484;
constexpr std::int64_t kDayNumberOf99991231 = 3652059;

const unsigned char* Bytes(std::string_view s) {
  return reinterpret_cast<const unsigned char*>(s.data());
}

bool IsBlank(char c) {
  return c == ' ' || c == '\0';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  // Numbers are mostly right-aligned: no trailing blank to look for.
  if (text.empty() || !IsBlank(text.back())) return text;
  return TrimTrailingBlanks(text);
}

// The value of the digit c, or a number above 9 for any other character.
unsigned DigitValue(char c) {
  return static_cast<unsigned>(static_cast<unsigned char>(c)) - '0';
}

bool AllZeroBytes(std::string_view bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](char c) { return c == 0; });
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

std::string_view TrimTrailingBlanks(std::string_view text) {
  // Eight bytes at a time while all of them are blanks: only the 0x20 bit may be set.
  while (text.size() >= 8) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + text.size() - 8, 8);
    if ((word & ~0x2020202020202020ull) != 0) break;
    text.remove_suffix(8);
  }
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

namespace {

// The value of "[-]digits[.digits]" when it takes no rounding beyond one division: at most 19
// digits whose integer is exact as a double (below 2^53) and at most 22 decimals, so that the
// integer and the power of ten are both exact and the division rounds once, as from_chars does.
// Gives false for any other text, which then takes the general road.
bool ParseSimpleDecimal(std::string_view text, double& value) {
  static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                       1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  const char* p = text.data();
  const char* end = p + text.size();
  bool negative = p != end && *p == '-';
  if (negative) ++p;
  std::uint64_t mantissa = 0;
  int digits = 0;
  const char* start = p;
  for (unsigned d; p != end && (d = DigitValue(*p)) <= 9; ++p) mantissa = mantissa * 10 + d;
  digits = static_cast<int>(p - start);
  if (digits == 0 || digits > 19) return false;
  int decimals = 0;
  if (p != end) {
    if (*p++ != '.') return false;
    const char* fraction = p;
    // At most 19 digits in all, so that the mantissa cannot overflow.
    const char* stop = fraction + std::min<std::ptrdiff_t>(end - fraction, 19 - digits);
    for (unsigned d; p != stop && (d = DigitValue(*p)) <= 9; ++p) mantissa = mantissa * 10 + d;
    decimals = static_cast<int>(p - fraction);
    if (p != end || decimals == 0 || decimals > 22) return false;
  }
  if (mantissa > (std::uint64_t{1} << 53)) return false;
  double magnitude = static_cast<double>(mantissa) / kPowers[decimals];
  value = negative ? -magnitude : magnitude;
  return true;
}

}  // namespace

std::optional<double> ParseNumber(std::string_view text) {
  text = Trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0;
  if (ParseSimpleDecimal(text, value)) return value;
  // from_chars would also take "inf" and "nan", which no dBase writer produces.
  if (text.empty() || !(IsDigit(text.back()) || text.back() == '.')) return std::nullopt;
  auto [ptr, ec] =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
  if (ec != std::errc() || ptr != text.data() + text.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

std::optional<std::string> UngroupNumber(std::string_view text) {
  text = Trim(text);
  std::string digits;
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) digits += text[i++];
  std::size_t lead = 0;
  while (i < text.size() && IsDigit(text[i]) && lead < 4) {
    digits += text[i++];
    ++lead;
  }
  if (lead == 0 || lead > 3) return std::nullopt;
  int groups = 0;
  while (i < text.size() && text[i] == ',') {
    if (i + 4 > text.size() || !IsDigit(text[i + 1]) || !IsDigit(text[i + 2]) ||
        !IsDigit(text[i + 3])) {
      return std::nullopt;
    }
    digits.append(text.substr(i + 1, 3));
    i += 4;
    ++groups;
  }
  if (groups == 0) return std::nullopt;
  if (i < text.size() && text[i] == '.') {
    digits += text[i++];
    while (i < text.size() && IsDigit(text[i])) digits += text[i++];
  }
  if (i != text.size()) return std::nullopt;
  return digits;
}

bool IsBlankText(std::string_view bytes) {
  return Trim(bytes).empty();
}

bool IsBlankNumber(std::string_view bytes) {
  // dBase II writes an empty number with decimals as blanks around the point.
  std::string_view t = Trim(bytes);
  return t.empty() || t == ".";
}

bool IsBlankDate(std::string_view bytes) {
  std::string_view t = Trim(bytes);
  return std::all_of(t.begin(), t.end(), [](char c) { return c == '0'; });
}

bool IsBlankLogical(std::string_view bytes) {
  return bytes.empty() || bytes.front() == ' ' || bytes.front() == '?' || bytes.front() == '\0';
}

bool IsBlankBinary(std::string_view bytes) {
  return AllZeroBytes(bytes) ||
         std::all_of(bytes.begin(), bytes.end(), [](char c) { return c == ' '; });
}

std::string_view TrimBlanks(std::string_view text) {
  return Trim(text);
}

std::optional<std::int64_t> ParseWholeNumber(std::string_view text) {
  std::string_view trimmed = Trim(text);
  if (!trimmed.empty() && trimmed.front() == '+') trimmed.remove_prefix(1);
  // Up to 18 digits cannot overflow; longer or other texts take from_chars.
  std::string_view digits = trimmed;
  bool negative = !digits.empty() && digits.front() == '-';
  if (negative) digits.remove_prefix(1);
  if (!digits.empty() && digits.size() <= 18) {
    std::int64_t value = 0;
    std::size_t i = 0;
    for (unsigned d; i < digits.size() && (d = DigitValue(digits[i])) <= 9; ++i) {
      value = value * 10 + d;
    }
    if (i == digits.size()) return negative ? -value : value;
  }
  std::int64_t value = 0;
  auto [ptr, ec] = std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), value);
  if (ec == std::errc() && ptr == trimmed.data() + trimmed.size() && !trimmed.empty()) {
    return value;
  }
  // "12.0" or "1.2e3" in a field without decimals.
  auto number = ParseNumber(text);
  if (!number || std::trunc(*number) != *number || std::fabs(*number) >= 9.2e18) {
    return std::nullopt;
  }
  return static_cast<std::int64_t>(*number);
}

std::optional<TDateTime> ParseDate(std::string_view text) {
  if (text.size() != 8 || IsBlank(text.front()) || IsBlank(text.back())) text = Trim(text);
  if (text.size() != 8 || !std::all_of(text.begin(), text.end(), IsDigit)) return std::nullopt;
  auto number = [&](std::size_t pos, std::size_t len) {
    int v = 0;
    for (std::size_t i = pos; i < pos + len; ++i) v = v * 10 + (text[i] - '0');
    return v;
  };
  return TryEncodeDate(number(0, 4), number(4, 2), number(6, 2));
}

std::optional<bool> ParseLogical(std::string_view text) {
  if (text.empty()) return std::nullopt;
  switch (text.front()) {
    case 'T':
    case 't':
    case 'Y':
    case 'y':
      return true;
    case 'F':
    case 'f':
    case 'N':
    case 'n':
      return false;
    default:
      return std::nullopt;
  }
}

std::optional<std::uint32_t> ParseMemoBlock(std::string_view bytes) {
  if (bytes.size() == 4) return LoadLE32(Bytes(bytes));
  std::string_view digits = Trim(bytes);
  if (digits.empty()) return 0;
  std::uint32_t block = 0;
  auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), block);
  if (ec != std::errc() || ptr != digits.data() + digits.size()) return std::nullopt;
  return block;
}

std::optional<std::int32_t> DecodeDbase7Integer(std::string_view bytes) {
  if (AllZeroBytes(bytes)) return std::nullopt;
  return static_cast<std::int32_t>(LoadBE32(Bytes(bytes)) ^ 0x80000000u);
}

std::optional<double> DecodeDbase7Double(std::string_view bytes) {
  if (AllZeroBytes(bytes)) return std::nullopt;
  constexpr std::uint64_t kSign = 0x8000000000000000ull;
  std::uint64_t u = LoadBE64(Bytes(bytes));
  u = (u & kSign) ? (u ^ kSign) : ~u;
  double value = std::bit_cast<double>(u);
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<TDateTime> DecodeDbase7Timestamp(std::string_view bytes) {
  if (AllZeroBytes(bytes)) return std::nullopt;
  double ms = std::round(std::bit_cast<double>(LoadBE64(Bytes(bytes))));
  if (!std::isfinite(ms) || ms < kMsPerDay || ms >= (kDayNumberOf99991231 + 1) * kMsPerDay) {
    return std::nullopt;
  }
  double day = std::floor(ms / kMsPerDay);
  double msOfDay = ms - day * kMsPerDay;
  return DayNumberToDateTime(static_cast<std::int32_t>(day), static_cast<std::int32_t>(msOfDay));
}

std::optional<TDateTime> DecodeVfpDateTime(std::string_view bytes) {
  const unsigned char* p = Bytes(bytes);
  std::int64_t julianDay = LoadLE32(p);
  std::uint32_t ms = LoadLE32(p + 4);
  if (julianDay < kJulianDayOf00010101 || julianDay > kJulianDayOf99991231 || ms >= kMsPerDay) {
    return std::nullopt;
  }
  return ComposeDateTime(static_cast<double>(julianDay - kJulianDayOf18991230), ms / kMsPerDay);
}

double DecodeVfpCurrency(std::string_view bytes) {
  return Currency{static_cast<std::int64_t>(LoadLE64(Bytes(bytes)))}.ToDouble();
}

std::optional<double> DecodeVfpDouble(std::string_view bytes) {
  double value = std::bit_cast<double>(LoadLE64(Bytes(bytes)));
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

std::int32_t DecodeVfpInteger(std::string_view bytes) {
  return static_cast<std::int32_t>(LoadLE32(Bytes(bytes)));
}

}  // namespace tabulix::source::dbase
