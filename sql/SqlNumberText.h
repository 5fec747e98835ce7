#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Numbers as the server writes and reads them: always with "." as decimal point, whatever
// the locale's separator.
namespace tabulix {

// Parse a number written with "." or ","; an empty or invalid text gives 0 or the default.
double TextToFloat(std::string_view text);
double TextToFloatDef(std::string_view text, double defaultValue);

// The shortest general text of the number (15 significant digits) with "." as separator.
std::string FloatToSqlText(double value);
// As FloatToSqlText, cut (not rounded) to at most two digits after the point.
std::string MoneyToSqlText(double value);

// Decimal digits left-padded with "0" to width; a negative value keeps its sign in front.
std::string PadNumber(std::int64_t value, int width);

}  // namespace tabulix
