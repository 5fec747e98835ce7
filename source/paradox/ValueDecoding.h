#pragma once

#include <cstdint>
#include <optional>

#include "framework/DateTime.h"
#include "framework/NumberText.h"

// Decoding of the fixed-size values in a Paradox record. Numbers, dates and times are stored
// big-endian with the top bit flipped so that raw bytes sort like the values; all-zero bytes
// mean an empty field (std::nullopt).
namespace tabulix::source::paradox {

// S (size 2) and I, + (size 4).
std::optional<std::int32_t> DecodeInteger(const std::uint8_t* p, int size);
// N, $ and the raw millisecond count of @.
std::optional<double> DecodeDouble(const std::uint8_t* p);
// L: 0x80 false, 0x81 (or any other non-zero value) true.
std::optional<bool> DecodeLogical(const std::uint8_t* p);

// D, T and @ can hold values that are no date or no time of day; those are errors, not empty.
struct DecodedTime {
  bool null = false;
  bool valid = true;
  TDateTime value = 0;
};
// D: day number with 1 January of year 1 as day 1; valid from that day to 31 December 9999.
DecodedTime DecodeDate(const std::uint8_t* p);
// T: milliseconds since midnight, as the fraction of a day.
DecodedTime DecodeTime(const std::uint8_t* p);
// @: milliseconds since the start of day 1 (1 January of year 1), kept to the millisecond.
DecodedTime DecodeTimestamp(const std::uint8_t* p);

// #: 17 bytes of packed decimal with `scale` digits after the point, rounded to the four
// decimals of a currency value. A first byte with bit 6 clear is blank. Only the digits up
// to the fifth decimal make the value; a nibble above 9 among them makes it unreadable,
// one further right (some writers leave such junk there) cannot change it and is ignored.
struct DecodedBcd {
  bool null = false;
  bool overflow = false;  // more than a currency value can hold
  bool badDigit = false;  // a digit nibble above 9
  Currency value;
};
DecodedBcd DecodeBcd(const std::uint8_t* p, int scale);

}  // namespace tabulix::source::paradox
