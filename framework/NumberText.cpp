#include "framework/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <system_error>

#include "framework/Exceptions.h"
#include "framework/FormatMessage.h"
#include "framework/FormatSettings.h"

namespace tabulix {
namespace {

constexpr std::string_view kNotInteger = "'%s' ist kein gültiger Integerwert";
constexpr std::string_view kNotFloat = "'%s' ist kein gültiger Gleitkommawert";

// Spaces around a number are allowed, as in the runtime's conversions.
std::string_view TrimSpaces(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// Rewrites a number written with separator into C notation; nullopt when it holds characters
// that no number has (including a '.' when the separator is something else), so that "inf",
// "nan" and hexadecimal texts never convert.
std::optional<std::string> ToCNumber(std::string_view text, char separator) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == separator) {
      out += '.';
    } else if ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == 'e' || c == 'E') {
      out += c;
    } else {
      return std::nullopt;
    }
  }
  return out;
}

// For a well-formed C-notation number that a double cannot hold: true when it lies below the
// smallest double (its first significant digit stands before the decimal point's position),
// false when it lies above the largest.
bool IsBelowDoubleRange(std::string_view number) {
  const std::size_t e = number.find_first_of("eE");
  std::string_view mantissa = number.substr(0, e);
  std::int64_t exponent = 0;
  if (e != std::string_view::npos) {
    std::string_view digits = number.substr(e + 1);
    const bool negative = !digits.empty() && digits.front() == '-';
    if (!digits.empty() && (digits.front() == '-' || digits.front() == '+'))
      digits.remove_prefix(1);
    // An exponent beyond 64 bits still has its sign; a trillion is as good as infinite here.
    constexpr std::int64_t kHuge = 1'000'000'000'000;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), exponent);
    if (ec != std::errc() || exponent > kHuge) exponent = kHuge;
    if (negative) exponent = -exponent;
  }
  if (!mantissa.empty() && (mantissa.front() == '-' || mantissa.front() == '+')) {
    mantissa.remove_prefix(1);
  }
  const std::size_t point = mantissa.find('.');
  const std::string_view whole = mantissa.substr(0, point);
  const std::string_view fraction =
      point == std::string_view::npos ? std::string_view() : mantissa.substr(point + 1);
  std::int64_t order;
  if (std::size_t first = whole.find_first_not_of('0'); first != std::string_view::npos) {
    order = static_cast<std::int64_t>(whole.size() - first) - 1;
  } else {
    const std::size_t zeros = std::min(fraction.find_first_not_of('0'), fraction.size());
    order = -static_cast<std::int64_t>(zeros) - 1;
  }
  return order + exponent < 0;
}

// Parses a whole C-notation number with the standard library's locale-independent
// conversion. Like strtod it takes a leading plus sign and gives 0 below the smallest double.
std::optional<double> ParseCNumber(std::string_view number) {
  if (!number.empty() && number.front() == '+') {
    number.remove_prefix(1);
    if (!number.empty() && (number.front() == '+' || number.front() == '-')) return std::nullopt;
  }
  if (number.empty()) return std::nullopt;
  double value = 0.0;
  const char* end = number.data() + number.size();
  auto [stop, ec] = std::from_chars(number.data(), end, value);
  if (stop != end) return std::nullopt;
  if (ec == std::errc::result_out_of_range) {
    if (!IsBelowDoubleRange(number)) return std::nullopt;
    return number.front() == '-' ? -0.0 : 0.0;
  }
  if (ec != std::errc()) return std::nullopt;
  return value;
}

}  // namespace

Currency Currency::FromDouble(double value) {
  return Currency{static_cast<std::int64_t>(std::llround(value * kScale))};
}

std::string IntToStr(std::int64_t value) {
  return std::to_string(value);
}

std::optional<std::int64_t> TryStrToInt64(std::string_view text) {
  if (text.empty()) return std::nullopt;
  std::size_t i = 0;
  bool negative = false;
  if (text[0] == '+' || text[0] == '-') {
    negative = text[0] == '-';
    i = 1;
  }
  if (i == text.size()) return std::nullopt;
  std::uint64_t magnitude = 0;
  const std::uint64_t limit =
      negative ? std::uint64_t{1} << 63 : static_cast<std::uint64_t>(INT64_MAX);
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (c < '0' || c > '9') return std::nullopt;
    unsigned digit = static_cast<unsigned>(c - '0');
    if (magnitude > (limit - digit) / 10) return std::nullopt;
    magnitude = magnitude * 10 + digit;
  }
  if (negative) return static_cast<std::int64_t>(0 - magnitude);
  return static_cast<std::int64_t>(magnitude);
}

std::optional<std::int32_t> TryStrToInt(std::string_view text) {
  auto v = TryStrToInt64(text);
  if (!v || *v < INT32_MIN || *v > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(*v);
}

std::int32_t StrToInt(std::string_view text) {
  auto v = TryStrToInt(text);
  if (!v) throw EConvertError(FormatMessage(kNotInteger, {text}));
  return *v;
}

std::int64_t StrToInt64(std::string_view text) {
  auto v = TryStrToInt64(text);
  if (!v) throw EConvertError(FormatMessage(kNotInteger, {text}));
  return *v;
}

std::string FloatToStr(double value) {
  return FloatToText(value, 15, FormatSettings::DecimalSeparator());
}

std::optional<double> TryStrToFloat(std::string_view text) {
  return TryTextToFloat(text, FormatSettings::DecimalSeparator());
}

double StrToFloat(std::string_view text) {
  auto v = TryStrToFloat(text);
  if (!v) throw EConvertError(FormatMessage(kNotFloat, {text}));
  return *v;
}

std::string CurrToStr(Currency value) {
  return CurrToText(value, FormatSettings::DecimalSeparator());
}

std::optional<Currency> TryStrToCurr(std::string_view text) {
  return TryTextToCurr(text, FormatSettings::DecimalSeparator());
}

Currency StrToCurr(std::string_view text) {
  auto v = TryStrToCurr(text);
  if (!v) throw EConvertError(FormatMessage(kNotFloat, {text}));
  return *v;
}

std::string FloatToText(double value, int significantDigits, char separator) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  char buffer[64];
  const auto written = std::to_chars(buffer, buffer + sizeof buffer, value,
                                     std::chars_format::general, significantDigits);
  std::string out(buffer, written.ptr);
  // The standard writes "1e+05"; ours is "1E+5", and "1E+20" keeps both digits.
  if (const std::size_t e = out.find('e'); e != std::string::npos) {
    out[e] = 'E';
    if (out.size() == e + 4 && out[e + 2] == '0') out.erase(e + 2, 1);
  }
  if (separator != '.') {
    if (const std::size_t point = out.find('.'); point != std::string::npos) out[point] = separator;
  }
  return out;
}

std::optional<double> TryTextToFloat(std::string_view text, char separator) {
  text = TrimSpaces(text);
  if (text.empty()) return std::nullopt;
  const auto number = ToCNumber(text, separator);
  if (!number) return std::nullopt;
  return ParseCNumber(*number);
}

std::string CurrToText(Currency value, char separator) {
  const bool negative = value.scaled < 0;
  std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(value.scaled)
                                     : static_cast<std::uint64_t>(value.scaled);
  std::string out = negative ? "-" : "";
  out += std::to_string(magnitude / Currency::kScale);
  std::uint64_t frac = magnitude % Currency::kScale;
  if (frac != 0) {
    std::string digits = std::to_string(frac + Currency::kScale).substr(1);
    while (!digits.empty() && digits.back() == '0') digits.pop_back();
    out += separator;
    out += digits;
  }
  return out;
}

std::optional<Currency> TryTextToCurr(std::string_view text, char separator) {
  text = TrimSpaces(text);
  if (text.find_first_of("eE") != std::string_view::npos) {
    auto v = TryTextToFloat(text, separator);
    const double limit =
        static_cast<double>(std::numeric_limits<std::int64_t>::max()) / Currency::kScale;
    if (!v || !(std::fabs(*v) < limit)) return std::nullopt;
    return Currency::FromDouble(*v);
  }
  // Exact decimal parse, so amounts beyond a double's 15 digits keep every digit.
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::uint64_t whole = 0, frac = 0;
  int fracDigits = 0;
  bool any = false, inFraction = false, roundUp = false;
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (c == separator && !inFraction) {
      inFraction = true;
      continue;
    }
    if (c < '0' || c > '9') return std::nullopt;
    any = true;
    unsigned d = static_cast<unsigned>(c - '0');
    if (!inFraction) {
      if (whole > (static_cast<std::uint64_t>(INT64_MAX) / Currency::kScale - d) / 10)
        return std::nullopt;
      whole = whole * 10 + d;
    } else if (fracDigits < 4) {
      frac = frac * 10 + d;
      ++fracDigits;
    } else if (fracDigits == 4) {
      roundUp = d >= 5;
      ++fracDigits;
    }
  }
  if (!any) return std::nullopt;
  for (int k = std::min(fracDigits, 4); k < 4; ++k) frac *= 10;
  std::int64_t scaled =
      static_cast<std::int64_t>(whole * Currency::kScale + frac + (roundUp ? 1 : 0));
  return Currency{negative ? -scaled : scaled};
}

}  // namespace tabulix
