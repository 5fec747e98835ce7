#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Exact decimal texts of ten-thousandths (the value format of ftBCD slots), as the server
// writes and reads decimal columns: always with "." as point, whatever the locale, and never
// through a double, so that 922337203685477.5807 stays what it is.
namespace tabulix {

// "-12.5", "0.0001", "922337203685477.5807": no trailing zeros after the point, no point for
// whole numbers.
std::string ScaledDecimalText(std::int64_t scaled);
// Parses an optional sign, digits and an optional point with digits; fraction digits beyond
// the fourth must be zeros. Nothing else (blanks, exponents, a comma) is accepted; nullopt
// also when the value does not fit.
std::optional<std::int64_t> ParseScaledDecimal(std::string_view text);

}  // namespace tabulix
