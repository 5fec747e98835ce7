#pragma once

#include <string>
#include <string_view>

#include "framework/DateTime.h"

// Dates and times in the texts the server sends and accepts. The parsers never raise: fields
// that do not convert take a default and out-of-range fields are clamped.
namespace tabulix {

std::string DateToSqlText(TDateTime value);  // YYYY-MM-DD
std::string TimeToSqlText(TDateTime value);  // HH:MM:SS, with .mmm when they are not 0
// The date when the day is not day 0, then the time when it is not midnight, joined by a
// space; day 0 at midnight gives the empty text.
std::string DateTimeToSqlText(TDateTime value);
// As DateTimeToSqlText, but day 0 is written as the date 0001-01-01.
std::string DateTimeToSqlTextFull(TDateTime value);
std::string DateTimeToUsText(TDateTime value);  // mm/dd/yyyy hh:nn:ss.zzz

// YYYY-MM-DD with an optional " HH:MM:SS[.fff]" from character 12; the empty text gives
// 0001-01-01.
TDateTime SqlTextToDate(std::string_view text);
// HH:MM:SS[.fff], or a date as above followed by a time from character 12.
TDateTime SqlTextToTime(std::string_view text);

// Days of the month in the Gregorian calendar; 30 for a month number outside 1..12.
int DaysInMonth(int month, int year);

// Dashes a compact timestamp (YYYYMMDDHHMMSS, YYMMDDHHMMSS, YYYYMMDD, YYMMDD and shorter
// forms): 20011231235959 becomes 2001-12-31 23:59:59. A text that is not all digits, such
// as the dashed form current servers already send, is returned unchanged.
std::string InsertTimestampSeparators(std::string_view text);

}  // namespace tabulix
