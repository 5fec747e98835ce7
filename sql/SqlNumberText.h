#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "framework/NumberText.h"

// Numbers as the server writes and reads them: always with "." as decimal point, whatever the
// display separator of FormatSettings or the C library's locale say.
namespace tabulix {

// Parse a number written with "." or ","; an empty or invalid text gives 0 or the default.
double TextToFloat(std::string_view text);
double TextToFloatDef(std::string_view text, double defaultValue);

// The shortest general text that reads back as the same double: 15 significant digits where
// they suffice (100000, 2.5, 1E+20), else 16, else 17 (0.30000000000000004,
// 1.7976931348623157E+308).
std::string FloatToSqlText(double value);
// As FloatToSqlText, cut (not rounded) to at most two digits after the point.
std::string MoneyToSqlText(double value);

// A currency amount with up to four decimals after a point.
std::string CurrencyToSqlText(Currency value);
// Reads an amount written with "." or ","; EConvertError ("'%s' ist kein gültiger
// Gleitkommawert") for anything else.
Currency SqlTextToCurrency(std::string_view text);

// Decimal digits left-padded with "0" to width; a negative value keeps its sign in front.
std::string PadNumber(std::int64_t value, int width);

}  // namespace tabulix
