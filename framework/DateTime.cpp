#include "framework/DateTime.h"

#include <cmath>
#include <cstdio>

#include "framework/Exceptions.h"

namespace tabulix {
namespace {

constexpr double kMsPerDay = 86400000.0;
// Days from 1 January of year 1 (day 1) to 30 December 1899.
constexpr std::int32_t kDelphiEpochDayNumber = 693594;

// Days before 1 January of the given year, counted from 1 January of year 1.
std::int64_t DaysBeforeYear(int year) {
  std::int64_t y = year - 1;
  return y * 365 + y / 4 - y / 100 + y / 400;
}

}  // namespace

bool IsLeapYear(int year) {
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInAMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

std::optional<TDateTime> TryEncodeDate(int year, int month, int day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > DaysInAMonth(year, month)) {
    return std::nullopt;
  }
  static constexpr int kDaysBeforeMonth[12] = {0,   31,  59,  90,  120, 151,
                                               181, 212, 243, 273, 304, 334};
  std::int64_t days = DaysBeforeYear(year) + kDaysBeforeMonth[month - 1];
  if (month > 2 && IsLeapYear(year)) ++days;
  days += day;  // day number, 1 January of year 1 = 1
  return static_cast<TDateTime>(days - kDelphiEpochDayNumber);
}

TDateTime EncodeDate(int year, int month, int day) {
  auto v = TryEncodeDate(year, month, day);
  if (!v) throw EConvertError("Ungültiges Argument für Datumskodierung");
  return *v;
}

std::optional<TDateTime> TryEncodeTime(int hour, int minute, int second, int ms) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || ms < 0 ||
      ms > 999) {
    return std::nullopt;
  }
  return ((hour * 3600000.0) + minute * 60000.0 + second * 1000.0 + ms) / kMsPerDay;
}

TDateTime EncodeTime(int hour, int minute, int second, int ms) {
  auto v = TryEncodeTime(hour, minute, second, ms);
  if (!v) throw EConvertError("Ungültiges Argument für Zeitkodierung");
  return *v;
}

TDateTime ComposeDateTime(TDateTime date, TDateTime time) {
  double d = std::trunc(date);
  double t = std::fabs(time - std::trunc(time));
  return d < 0 ? d - t : d + t;
}

std::int32_t DateTimeToDayNumber(TDateTime value) {
  // Milliseconds that round up to the next midnight belong to the next day.
  double whole = std::trunc(value);
  std::int64_t day = static_cast<std::int64_t>(whole);
  if (whole == value) return static_cast<std::int32_t>(day + kDelphiEpochDayNumber);
  double frac = std::fabs(value - whole);
  double ms = std::round(frac * kMsPerDay);
  if (ms >= kMsPerDay) day += value < 0 ? -1 : 1;
  return static_cast<std::int32_t>(day + kDelphiEpochDayNumber);
}

std::int32_t DateTimeToMsOfDay(TDateTime value) {
  double frac = std::fabs(value - std::trunc(value));
  double ms = std::round(frac * kMsPerDay);
  if (ms >= kMsPerDay) ms = 0;
  return static_cast<std::int32_t>(ms);
}

TDateTime DayNumberToDateTime(std::int32_t dayNumber, std::int32_t msOfDay) {
  double date = static_cast<double>(dayNumber) - kDelphiEpochDayNumber;
  return ComposeDateTime(date, msOfDay / kMsPerDay);
}

DateParts DecodeDate(TDateTime value) {
  std::int64_t n = DateTimeToDayNumber(value);  // day number, 1 = 1 January of year 1
  DateParts p;
  if (n < 1) return p;
  // Civil-from-days over the proleptic Gregorian calendar (Neri and Schneider), counted from
  // 1 March of a year far enough back that every value stays unsigned; multiplications and
  // shifts in place of most divisions.
  constexpr std::uint32_t kEraShift = 82;  // 400-year eras moved back
  std::uint32_t days = static_cast<std::uint32_t>(n - 1 - 719162 + 719468 + 146097 * kEraShift);
  std::uint32_t n1 = 4 * days + 3;
  std::uint32_t century = n1 / 146097;
  std::uint32_t n2 = (n1 % 146097) | 3;
  std::uint64_t p2 = std::uint64_t{2939745} * n2;
  auto yearOfCentury = static_cast<std::uint32_t>(p2 >> 32);
  std::uint32_t dayOfYear = static_cast<std::uint32_t>(p2) / 2939745 / 4;  // from 1 March
  std::uint32_t n3 = 2141 * dayOfYear + 197913;
  std::uint32_t month = n3 >> 16;
  std::uint32_t day = (n3 & 0xFFFF) / 2141;
  bool january = dayOfYear >= 306;  // January or February, in the next calendar year
  p.year = static_cast<int>(100 * century + yearOfCentury) - static_cast<int>(400 * kEraShift) +
           (january ? 1 : 0);
  p.month = static_cast<int>(january ? month - 12 : month);
  p.day = static_cast<int>(day + 1);
  return p;
}

TimeParts DecodeTime(TDateTime value) {
  std::int32_t ms = DateTimeToMsOfDay(value);
  TimeParts t;
  t.hour = ms / 3600000;
  t.minute = ms / 60000 % 60;
  t.second = ms / 1000 % 60;
  t.millisecond = ms % 1000;
  return t;
}

std::string DateTimeToStr(TDateTime value) {
  char buf[48];
  std::string out;
  if (DateTimeToDayNumber(value) != kDelphiEpochDayNumber) {
    DateParts d = DecodeDate(value);
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.year, d.month, d.day);
    out = buf;
  }
  TimeParts t = DecodeTime(value);
  if (out.empty() || t.hour || t.minute || t.second || t.millisecond) {
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.hour, t.minute, t.second);
    if (!out.empty()) out += ' ';
    out += buf;
    if (t.millisecond) {
      std::snprintf(buf, sizeof buf, ".%03d", t.millisecond);
      out += buf;
    }
  }
  return out;
}

}  // namespace tabulix
