#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "framework/DateTime.h"

// Decoding of single stored dBase values. Each function takes the field's bytes and gives
// nullopt for an empty value or one that does not decode (a damaged value reads as null).
namespace tabulix::source::dbase {

// Text without trailing blanks and NULs.
std::string_view TrimTrailingBlanks(std::string_view text);

// N or F text: blanks around an optional sign and a decimal number with '.'.
std::optional<double> ParseNumber(std::string_view text);
// N or F text with thousands separators as some programs write them ("1,200.00",
// "-12,345"): the same text without the commas when they separate groups of three digits
// after one to three leading ones, nullopt for any other text.
std::optional<std::string> UngroupNumber(std::string_view text);
// N or F text of a field without decimals; a fraction other than .0 does not decode.
std::optional<std::int64_t> ParseWholeNumber(std::string_view text);
// D: YYYYMMDD; blanks and zeros are empty.
std::optional<TDateTime> ParseDate(std::string_view text);
// L: T, t, Y, y are true; F, f, N, n false; anything else (blank, '?') is null.
std::optional<bool> ParseLogical(std::string_view text);

// Whether a value that did not decode is blank (an empty field) rather than damaged: text is
// blank when only blanks and NULs; N and F also when a lone point; D also when all zeros; L
// also for '?'; binary values when all zero bytes or all blanks.
bool IsBlankText(std::string_view bytes);
bool IsBlankNumber(std::string_view bytes);
bool IsBlankDate(std::string_view bytes);
bool IsBlankLogical(std::string_view bytes);
bool IsBlankBinary(std::string_view bytes);
// The stored text without the blanks around it, as warnings show it.
std::string_view TrimBlanks(std::string_view text);

// Memo block number: ASCII digits in 10-byte fields, little-endian in 4-byte ones. 0 means
// "no memo"; nullopt means the pointer is damaged.
std::optional<std::uint32_t> ParseMemoBlock(std::string_view bytes);

// dBase 7 I and +: big-endian with the top bit flipped; all zero is null.
std::optional<std::int32_t> DecodeDbase7Integer(std::string_view bytes);
// dBase 7 O: big-endian double, positive numbers with the sign bit set, negative ones with
// all bits inverted; all zero is null.
std::optional<double> DecodeDbase7Double(std::string_view bytes);
// dBase 7 @: big-endian double counting milliseconds from 1 January of year 1 (day 1).
std::optional<TDateTime> DecodeDbase7Timestamp(std::string_view bytes);

// Visual FoxPro T: little-endian Julian day number and milliseconds since midnight.
std::optional<TDateTime> DecodeVfpDateTime(std::string_view bytes);
// Visual FoxPro Y: little-endian 64-bit count of ten-thousandths.
double DecodeVfpCurrency(std::string_view bytes);
// Visual FoxPro B: little-endian IEEE double.
std::optional<double> DecodeVfpDouble(std::string_view bytes);
// Visual FoxPro I: little-endian 32-bit integer.
std::int32_t DecodeVfpInteger(std::string_view bytes);

}  // namespace tabulix::source::dbase
