#include "dataset/ZDecimalText.h"

#include <limits>

namespace tabulix {
namespace {

constexpr int kScaleDigits = 4;

}  // namespace

std::string ScaledDecimalText(std::int64_t scaled) {
  // The magnitude as unsigned, so that the most negative value has one too.
  const bool negative = scaled < 0;
  std::uint64_t magnitude = negative ? std::uint64_t{0} - static_cast<std::uint64_t>(scaled)
                                     : static_cast<std::uint64_t>(scaled);
  char digits[24];
  int n = 0;
  do {
    digits[n++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0 || n <= kScaleDigits);
  // digits holds the number backwards, at least five digits: four of fraction, one whole.
  int firstKept = 0;
  while (firstKept < kScaleDigits && digits[firstKept] == '0') ++firstKept;
  std::string text;
  if (negative) text += '-';
  for (int i = n - 1; i >= kScaleDigits; --i) text += digits[i];
  if (firstKept < kScaleDigits) {
    text += '.';
    for (int i = kScaleDigits - 1; i >= firstKept; --i) text += digits[i];
  }
  return text;
}

std::optional<std::int64_t> ParseScaledDecimal(std::string_view text) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  // Accumulated as a negative number: its range reaches one further than the positive one.
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  std::int64_t value = 0;
  bool anyDigit = false;
  auto addDigit = [&](char c) {
    const int digit = c - '0';
    if (value < (kMin + digit) / 10) return false;
    value = value * 10 - digit;
    return true;
  };
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    anyDigit = true;
    if (!addDigit(text[i])) return std::nullopt;
  }
  int fraction = 0;
  if (i < text.size() && text[i] == '.') {
    for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
      anyDigit = true;
      if (fraction < kScaleDigits) {
        if (!addDigit(text[i])) return std::nullopt;
        ++fraction;
      } else if (text[i] != '0') {
        return std::nullopt;  // a value the scale cannot carry
      }
    }
  }
  if (!anyDigit || i != text.size()) return std::nullopt;
  for (; fraction < kScaleDigits; ++fraction) {
    if (!addDigit('0')) return std::nullopt;
  }
  if (negative) return value;
  if (value == kMin) return std::nullopt;
  return -value;
}

}  // namespace tabulix
