#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Conversions between numbers and text. The Str* functions and FloatToStr/CurrToStr follow the
// display format (decimal separator from FormatSettings) and raise EConvertError with the
// runtime's own messages; the *Text functions take the separator as an argument. None of them
// reads the C library's locale, which a window may set from the environment at any time.
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

// Shortest general form with up to 15 significant digits, display decimal separator.
std::string FloatToStr(double value);
// Parses a number written with the display decimal separator (exponent allowed).
std::optional<double> TryStrToFloat(std::string_view text);
double StrToFloat(std::string_view text);  // "'%s' ist kein gültiger Gleitkommawert"

std::string CurrToStr(Currency value);  // up to four decimals, display separator
std::optional<Currency> TryStrToCurr(std::string_view text);
Currency StrToCurr(std::string_view text);  // "'%s' ist kein gültiger Gleitkommawert"

// The general form with significantDigits (1 to 17) significant digits, as "%.*G" writes it in
// the C locale but with a one-digit exponent where it has one ("1E+20", "1.5E-7"), and
// separator in place of the point. "NAN", "INF" and "-INF" for the values that are no number.
std::string FloatToText(double value, int significantDigits, char separator);
// Parses digits with at most one separator, an optional sign and an optional exponent;
// surrounding spaces are allowed. A value too small for a double gives 0, one too large fails.
std::optional<double> TryTextToFloat(std::string_view text, char separator);
std::string CurrToText(Currency value, char separator);
std::optional<Currency> TryTextToCurr(std::string_view text, char separator);

}  // namespace tabulix
