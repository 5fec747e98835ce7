#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Date-times count days since 30 December 1899 (day 0), with the time of day as fraction.
// Before day 0 the integer part is negative and the fraction still counts forward from
// midnight as a positive amount (-1.25 is 29 December 1899, 06:00).
namespace tabulix {

using TDateTime = double;

struct DateParts {
  int year = 0, month = 0, day = 0;
};
struct TimeParts {
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

bool IsLeapYear(int year);
int DaysInAMonth(int year, int month);  // 0 for a month outside 1..12

std::optional<TDateTime> TryEncodeDate(int year, int month, int day);  // years 1..9999
TDateTime EncodeDate(int year, int month, int day);                    // EConvertError when invalid
std::optional<TDateTime> TryEncodeTime(int hour, int minute, int second, int ms);
TDateTime EncodeTime(int hour, int minute, int second, int ms);
// Date plus time of day, honouring the sign rule above.
TDateTime ComposeDateTime(TDateTime date, TDateTime time);

DateParts DecodeDate(TDateTime value);
TimeParts DecodeTime(TDateTime value);  // rounded to the millisecond

// Day number with 1 January of year 1 as day 1, and milliseconds of the day.
std::int32_t DateTimeToDayNumber(TDateTime value);
std::int32_t DateTimeToMsOfDay(TDateTime value);
TDateTime DayNumberToDateTime(std::int32_t dayNumber, std::int32_t msOfDay);

// ISO-like display text: "YYYY-MM-DD", "HH:MM:SS" or both, ".mmm" when milliseconds are set;
// a pure time (day 0) shows the time only, a midnight date the date only.
std::string DateTimeToStr(TDateTime value);

}  // namespace tabulix
