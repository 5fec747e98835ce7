#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Conversions between numbers and text in the locale's format (decimal separator from
// FormatSettings). The Str* functions raise EConvertError with the runtime's own messages.
namespace tabulix {

// A currency amount: a 64-bit count of ten-thousandths.
struct Currency {
  std::int64_t scaled = 0;
  static constexpr std::int64_t kScale = 10000;
  double ToDouble() const { return static_cast<double>(scaled) / kScale; }
  static Currency FromDouble(double value);  // rounds to the nearest ten-thousandth
  friend bool operator==(Currency, Currency) = default;
};

std::string IntToStr(std::int64_t value);
// Decimal integer with optional sign and surrounding nothing: "3306 " is not an integer.
std::optional<std::int64_t> TryStrToInt64(std::string_view text);
std::optional<std::int32_t> TryStrToInt(std::string_view text);
std::int32_t StrToInt(std::string_view text);    // "'%s' ist kein gültiger Integerwert"
std::int64_t StrToInt64(std::string_view text);  // same message

// Shortest general form with up to 15 significant digits, locale decimal separator.
std::string FloatToStr(double value);
// Parses a number written with the locale's decimal separator (exponent allowed).
std::optional<double> TryStrToFloat(std::string_view text);
double StrToFloat(std::string_view text);  // "'%s' ist kein gültiger Gleitkommawert"

std::string CurrToStr(Currency value);  // up to four decimals, locale separator
std::optional<Currency> TryStrToCurr(std::string_view text);
Currency StrToCurr(std::string_view text);  // "'%s' ist kein gültiger Gleitkommawert"

}  // namespace tabulix
