#include "sql/SqlDateText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

#include "framework/NumberText.h"

namespace tabulix {
namespace {

// Day number (DateTimeToDayNumber) of day 0, 30 December 1899.
constexpr std::int32_t kDayZero = 693594;

// Date-times beyond about 27,000 years (or not finite) have no calendar text; they decode
// as all zeros instead of overflowing the day arithmetic.
bool IsDecodable(TDateTime value) {
  return std::isfinite(value) && std::fabs(value) < 1e7;
}

struct Stamp {
  DateParts date;
  TimeParts time;
  bool dayZero = true;
  bool midnight = true;
};

Stamp Decode(TDateTime value) {
  Stamp s;
  if (!IsDecodable(value)) return s;
  s.date = DecodeDate(value);
  s.time = DecodeTime(value);
  s.dayZero = DateTimeToDayNumber(value) == kDayZero;
  s.midnight = DateTimeToMsOfDay(value) == 0;
  return s;
}

// Appends value in decimal, zero-padded to width characters as "%0*d" writes it (the sign
// counts towards the width). Every row of an import writes its dates this way.
void AppendPadded(std::string& out, int value, int width) {
  unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
  if (value < 0) {
    out += '-';
    --width;
  }
  char digits[10];
  int n = 0;
  do {
    digits[n++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  out.append(static_cast<std::size_t>(std::max(width - n, 0)), '0');
  while (n > 0) out += digits[--n];
}

std::string DateText(const DateParts& d) {
  std::string out;
  out.reserve(10);
  AppendPadded(out, d.year, 4);
  out += '-';
  AppendPadded(out, d.month, 2);
  out += '-';
  AppendPadded(out, d.day, 2);
  return out;
}

// HH:MM:SS, and .mmm when the milliseconds are not 0: a time(3) or datetime(3) column keeps
// them, one without fractions takes the whole seconds as before.
std::string TimeText(const TimeParts& t) {
  std::string out;
  out.reserve(12);
  AppendPadded(out, t.hour, 2);
  out += ':';
  AppendPadded(out, t.minute, 2);
  out += ':';
  AppendPadded(out, t.second, 2);
  if (t.millisecond != 0) {
    out += '.';
    AppendPadded(out, t.millisecond, 3);
  }
  return out;
}

std::string_view Chars(std::string_view text, std::size_t first, std::size_t count) {
  return first - 1 < text.size() ? text.substr(first - 1, count) : std::string_view{};
}

// The number in characters first..first+count-1 of text, fallback when it is not one, then
// clamped to low..high.
int Field(std::string_view text, std::size_t first, std::size_t count, int fallback, int low,
          int high) {
  return std::clamp(TryStrToInt(Chars(text, first, count)).value_or(fallback), low, high);
}

// The milliseconds of the fraction after "." at character 9 of an HH:MM:SS.fff text (digits
// after the third are cut off); 0 without one.
int Milliseconds(std::string_view text) {
  if (text.size() < 10 || text[8] != '.') return 0;
  int ms = 0;
  std::size_t digits = 0;
  for (std::size_t i = 9; i < text.size() && digits < 3; ++i, ++digits) {
    if (text[i] < '0' || text[i] > '9') break;
    ms = ms * 10 + (text[i] - '0');
  }
  for (; digits < 3; ++digits) ms *= 10;
  return ms;
}

// Hour, minute, second and milliseconds of an HH:MM:SS[.fff] text as a time of day.
TDateTime TimeOfDay(std::string_view text) {
  return EncodeTime(Field(text, 1, 2, 0, 0, 23), Field(text, 4, 2, 0, 0, 59),
                    Field(text, 7, 2, 0, 0, 59), Milliseconds(text));
}

std::string DateTimeText(TDateTime value, bool fullDate) {
  const Stamp s = Decode(value);
  std::string out;
  if (!s.dayZero) {
    out = DateText(s.date);
  } else if (fullDate) {
    out = "0001-01-01";
  }
  if (!s.midnight) {
    if (!out.empty()) out += ' ';
    out += TimeText(s.time);
  }
  return out;
}

}  // namespace

std::string DateToSqlText(TDateTime value) {
  return DateText(Decode(value).date);
}

std::string TimeToSqlText(TDateTime value) {
  return TimeText(Decode(value).time);
}

std::string DateTimeToSqlText(TDateTime value) {
  return DateTimeText(value, false);
}

std::string DateTimeToSqlTextFull(TDateTime value) {
  return DateTimeText(value, true);
}

std::string DateTimeToUsText(TDateTime value) {
  const Stamp s = Decode(value);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%02d/%02d/%04d %02d:%02d:%02d.%03d", s.date.month, s.date.day,
                s.date.year, s.time.hour, s.time.minute, s.time.second, s.time.millisecond);
  return buf;
}

TDateTime SqlTextToDate(std::string_view text) {
  const int year = std::max(TryStrToInt(Chars(text, 1, 4)).value_or(1), 1);
  const int month = Field(text, 6, 2, 1, 1, 12);
  const int day = Field(text, 9, 2, 1, 1, DaysInMonth(month, year));
  const TDateTime date = EncodeDate(year, month, day);
  if (text.size() <= 11) return date;
  return ComposeDateTime(date, TimeOfDay(Chars(text, 12, 12)));
}

TDateTime SqlTextToTime(std::string_view text) {
  TDateTime date = 0;
  std::string_view timeText = text;
  // A date comes first when the first ":" is not among the first characters (a time's hours
  // take two or three digits).
  if (text.size() > 9 && text.find(':') > 3) {
    date = SqlTextToDate(text.substr(0, 10));
    timeText = Chars(text, 12, 12);
  }
  if (timeText.size() <= 7) return date;
  return ComposeDateTime(date, TimeOfDay(timeText));
}

int DaysInMonth(int month, int year) {
  switch (month) {
    case 1:
    case 3:
    case 5:
    case 7:
    case 8:
    case 10:
    case 12:
      return 31;
    case 2:
      if (year % 400 == 0) return 29;
      if (year % 100 == 0) return 28;
      return year % 4 == 0 ? 29 : 28;
    default:
      return 30;
  }
}

std::string InsertTimestampSeparators(std::string_view text) {
  std::string out(text);
  if (!std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return out;
  }
  const std::size_t n = text.size();
  const std::size_t p = n == 14 || n == 8 ? 5 : 3;
  // Each separator goes before the character at a 1-based position of the growing text;
  // nothing is added behind the last character.
  auto insertBefore = [&out](std::size_t position, char separator) {
    if (position <= out.size()) out.insert(position - 1, 1, separator);
  };
  if (n > 2) insertBefore(p, '-');
  if (n > 4) insertBefore(p + 3, '-');
  if (n > 6) insertBefore(p + 6, ' ');
  if (n > 8) insertBefore(p + 9, ':');
  if (n > 10) insertBefore(p + 12, ':');
  return out;
}

}  // namespace tabulix
