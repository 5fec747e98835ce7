#include "framework/NumberText.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "framework/Exceptions.h"
#include "framework/FormatMessage.h"
#include "framework/FormatSettings.h"

namespace tabulix {
namespace {

constexpr std::string_view kNotInteger = "'%s' ist kein gültiger Integerwert";
constexpr std::string_view kNotFloat = "'%s' ist kein gültiger Gleitkommawert";

// Rewrites a locale-formatted number into C notation for strtod; nullopt when it holds
// characters that no number has (including a '.' when the locale separator is ',').
std::optional<std::string> ToCNumber(std::string_view text) {
  const char sep = FormatSettings::DecimalSeparator();
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == sep) {
      out += '.';
    } else if ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == 'e' || c == 'E') {
      out += c;
    } else {
      return std::nullopt;
    }
  }
  return out;
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
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15G", value);
  std::string out(buf);
  // snprintf follows the C locale, which the product never changes: its point is '.'.
  const char sep = FormatSettings::DecimalSeparator();
  if (sep != '.') {
    if (auto pos = out.find('.'); pos != std::string::npos) out[pos] = sep;
  }
  // "1E+20" is written "1E+20"; exponents keep at least two digits in C, strip one zero.
  if (auto e = out.find('E');
      e != std::string::npos && e + 2 < out.size() && out[e + 2] == '0' && e + 3 < out.size()) {
    out.erase(e + 2, 1);
  }
  return out;
}

std::optional<double> TryStrToFloat(std::string_view text) {
  // Leading and trailing blanks are allowed, as in the runtime's conversion.
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.empty()) return std::nullopt;
  auto c = ToCNumber(text);
  if (!c || c->empty()) return std::nullopt;
  const char* begin = c->c_str();
  char* end = nullptr;
  errno = 0;
  double v = std::strtod(begin, &end);
  if (end != begin + c->size() || end == begin) return std::nullopt;
  if (errno == ERANGE && std::isinf(v)) return std::nullopt;
  return v;
}

double StrToFloat(std::string_view text) {
  auto v = TryStrToFloat(text);
  if (!v) throw EConvertError(FormatMessage(kNotFloat, {text}));
  return *v;
}

std::string CurrToStr(Currency value) {
  const bool negative = value.scaled < 0;
  std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(value.scaled)
                                     : static_cast<std::uint64_t>(value.scaled);
  std::string out = negative ? "-" : "";
  out += std::to_string(magnitude / Currency::kScale);
  std::uint64_t frac = magnitude % Currency::kScale;
  if (frac != 0) {
    std::string digits = std::to_string(frac + Currency::kScale).substr(1);
    while (!digits.empty() && digits.back() == '0') digits.pop_back();
    out += FormatSettings::DecimalSeparator();
    out += digits;
  }
  return out;
}

std::optional<Currency> TryStrToCurr(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.find_first_of("eE") != std::string_view::npos) {
    auto v = TryStrToFloat(text);
    const double limit =
        static_cast<double>(std::numeric_limits<std::int64_t>::max()) / Currency::kScale;
    if (!v || !(std::fabs(*v) < limit)) return std::nullopt;
    return Currency::FromDouble(*v);
  }
  // Exact decimal parse, so amounts beyond a double's 15 digits keep every digit.
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const char sep = FormatSettings::DecimalSeparator();
  std::uint64_t whole = 0, frac = 0;
  int fracDigits = 0;
  bool any = false, inFraction = false, roundUp = false;
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (c == sep && !inFraction) {
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

Currency StrToCurr(std::string_view text) {
  auto v = TryStrToCurr(text);
  if (!v) throw EConvertError(FormatMessage(kNotFloat, {text}));
  return *v;
}

}  // namespace tabulix
