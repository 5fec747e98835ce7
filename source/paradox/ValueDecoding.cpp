#include "source/paradox/ValueDecoding.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "source/paradox/ByteOrder.h"

namespace tabulix::source::paradox {
namespace {

constexpr double kMsPerDay = 86400000.0;
constexpr int kBcdDigits = 32;
constexpr std::int32_t kLastDay = 3652059;  // 31 December 9999
constexpr std::uint8_t kBcdNotBlank = 0x40;

bool AllZero(const std::uint8_t* p, int size) {
  for (int i = 0; i < size; ++i) {
    if (p[i] != 0) return false;
  }
  return true;
}

}  // namespace

std::optional<std::int32_t> DecodeInteger(const std::uint8_t* p, int size) {
  if (AllZero(p, size)) return std::nullopt;
  std::uint64_t raw = Be(p, size);
  std::uint64_t signBit = std::uint64_t{1} << (8 * size - 1);
  raw ^= signBit;
  // Sign-extend the two's-complement value of `size` bytes.
  auto value = static_cast<std::int64_t>(raw);
  if (raw & signBit) value -= static_cast<std::int64_t>(signBit << 1);
  return static_cast<std::int32_t>(value);
}

std::optional<double> DecodeDouble(const std::uint8_t* p) {
  if (AllZero(p, 8)) return std::nullopt;
  std::uint64_t raw = Be(p, 8);
  constexpr std::uint64_t kTop = std::uint64_t{1} << 63;
  // Positive values only have their sign bit set; negative ones are stored fully inverted.
  raw = (raw & kTop) ? (raw & ~kTop) : ~raw;
  double value;
  std::memcpy(&value, &raw, sizeof value);
  return value;
}

std::optional<bool> DecodeLogical(const std::uint8_t* p) {
  if (p[0] == 0) return std::nullopt;
  return (p[0] ^ 0x80) != 0;
}

DecodedTime DecodeDate(const std::uint8_t* p) {
  std::optional<std::int32_t> day = DecodeInteger(p, 4);
  if (!day) return {true, true, 0};
  if (*day < 1 || *day > kLastDay) return {false, false, 0};
  return {false, true, DayNumberToDateTime(*day, 0)};
}

DecodedTime DecodeTime(const std::uint8_t* p) {
  std::optional<std::int32_t> ms = DecodeInteger(p, 4);
  if (!ms) return {true, true, 0};
  if (*ms < 0 || *ms >= kMsPerDay) return {false, false, 0};
  return {false, true, *ms / kMsPerDay};
}

DecodedTime DecodeTimestamp(const std::uint8_t* p) {
  std::optional<double> ms = DecodeDouble(p);
  if (!ms) return {true, true, 0};
  double whole = std::round(*ms);
  double day = std::floor(whole / kMsPerDay);
  // Beyond these bounds the day number no longer fits and no calendar date is meant.
  if (!std::isfinite(whole) || day < 1 || day > kLastDay) return {false, false, 0};
  double msOfDay = whole - day * kMsPerDay;
  return {false, true,
          DayNumberToDateTime(static_cast<std::int32_t>(day), static_cast<std::int32_t>(msOfDay))};
}

DecodedBcd DecodeBcd(const std::uint8_t* p, int scale) {
  DecodedBcd result;
  if ((p[0] & kBcdNotBlank) == 0) {
    result.null = true;
    return result;
  }
  const bool negative = (p[0] & 0x80) == 0;
  // Integer digits, then the first four decimals, then one more for rounding.
  const int integerDigits = kBcdDigits - scale;
  const int used = integerDigits + 5 < kBcdDigits ? integerDigits + 5 : kBcdDigits;
  int digits[kBcdDigits] = {};
  for (int i = 0; i < used; ++i) {
    int nibble = (i % 2 == 0) ? p[1 + i / 2] >> 4 : p[1 + i / 2] & 0x0F;
    int digit = negative ? 15 - nibble : nibble;
    if (digit > 9) {
      result.badDigit = true;
      return result;
    }
    digits[i] = digit;
  }
  constexpr std::uint64_t kLimit =
      static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
  std::uint64_t scaled = 0;
  for (int i = 0; i < integerDigits + 4; ++i) {
    int digit = i < kBcdDigits ? digits[i] : 0;
    if (scaled > (kLimit - static_cast<std::uint64_t>(digit)) / 10) {
      result.overflow = true;
      return result;
    }
    scaled = scaled * 10 + static_cast<std::uint64_t>(digit);
  }
  int next = integerDigits + 4 < kBcdDigits ? digits[integerDigits + 4] : 0;
  if (next >= 5) {
    if (scaled == kLimit) {
      result.overflow = true;
      return result;
    }
    ++scaled;
  }
  auto signedValue = static_cast<std::int64_t>(scaled);
  result.value.scaled = negative ? -signedValue : signedValue;
  return result;
}

}  // namespace tabulix::source::paradox
