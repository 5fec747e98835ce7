#include "sql/SqlDateText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tabulix {
namespace {

TDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
  return ComposeDateTime(EncodeDate(y, mo, d), EncodeTime(h, mi, s, ms));
}

TEST(DateTimeToSqlText, WritesWhatIsSet) {
  const TDateTime stamp = At(2001, 12, 31, 14, 5, 9, 678);
  EXPECT_EQ(DateToSqlText(stamp), "2001-12-31");
  EXPECT_EQ(TimeToSqlText(stamp), "14:05:09.678");
  EXPECT_EQ(DateTimeToSqlText(stamp), "2001-12-31 14:05:09.678");
  EXPECT_EQ(DateTimeToSqlTextFull(At(2006, 4, 20, 17, 13, 4, 999)), "2006-04-20 17:13:04.999");
  EXPECT_EQ(TimeToSqlText(At(2001, 12, 31, 0, 0, 0, 1)), "00:00:00.001");
  EXPECT_EQ(DateTimeToSqlText(At(2001, 12, 31)), "2001-12-31");
  EXPECT_EQ(DateTimeToSqlText(EncodeTime(8, 0, 1, 0)), "08:00:01");
  EXPECT_EQ(DateTimeToSqlText(0), "");
  EXPECT_EQ(DateToSqlText(At(7, 3, 4)), "0007-03-04");
}

TEST(DateTimeToSqlText, FullFormWritesDayZeroAsYearOne) {
  EXPECT_EQ(DateTimeToSqlTextFull(0), "0001-01-01");
  EXPECT_EQ(DateTimeToSqlTextFull(EncodeTime(8, 0, 1, 0)), "0001-01-01 08:00:01");
  EXPECT_EQ(DateTimeToSqlTextFull(At(2001, 12, 31, 14, 5, 9)), "2001-12-31 14:05:09");
  EXPECT_EQ(DateTimeToSqlTextFull(At(2001, 12, 31)), "2001-12-31");
}

TEST(DateTimeToSqlText, DatesBeforeDayZeroKeepTheirTime) {
  const TDateTime early = At(1850, 6, 1, 6, 30, 0);
  ASSERT_LT(early, 0);
  EXPECT_EQ(DateTimeToSqlText(early), "1850-06-01 06:30:00");
}

TEST(DateTimeToSqlText, UndecodableValuesDoNotOverflow) {
  for (double v : {std::numeric_limits<double>::quiet_NaN(),
                   std::numeric_limits<double>::infinity(), 1e300, -1e300}) {
    EXPECT_EQ(DateToSqlText(v), "0000-00-00");
    EXPECT_EQ(TimeToSqlText(v), "00:00:00");
    EXPECT_EQ(DateTimeToUsText(v), "00/00/0000 00:00:00.000");
  }
}

TEST(DateTimeToUsText, UsesMonthDayYear) {
  EXPECT_EQ(DateTimeToUsText(At(2001, 12, 31, 14, 5, 9, 678)), "12/31/2001 14:05:09.678");
  EXPECT_EQ(DateTimeToUsText(0), "12/30/1899 00:00:00.000");
}

TEST(SqlTextToDate, ClampsEveryField) {
  struct Case {
    const char* text;
    TDateTime want;
  };
  const Case cases[] = {
      {"2001-12-31", At(2001, 12, 31)},
      {"2001-02-30", At(2001, 2, 28)},
      {"2000-02-30", At(2000, 2, 29)},
      {"1900-02-29", At(1900, 2, 28)},
      {"0000-00-00", At(1, 1, 1)},
      {"", At(1, 1, 1)},
      {"garbage", At(1, 1, 1)},
      {"2001-13-99", At(2001, 12, 31)},
      {"2001-12-31 14:05:09", At(2001, 12, 31, 14, 5, 9)},
      {"2001-12-31 99:99:99", At(2001, 12, 31, 23, 59, 59)},
      {"2001-12-31 1", At(2001, 12, 31, 1)},
      {"1850-06-01 06:30:00", At(1850, 6, 1, 6, 30)},
      {"0000-00-00 00:00:00", At(1, 1, 1)},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(SqlTextToDate(c.text), c.want) << c.text;
}

TEST(SqlTextToTime, ReadsATimeOrADateAndTime) {
  EXPECT_DOUBLE_EQ(SqlTextToTime("14:05:09"), EncodeTime(14, 5, 9, 0));
  // Fractions of a time(3) or datetime(3) column: milliseconds, further digits cut off.
  EXPECT_DOUBLE_EQ(SqlTextToTime("14:05:09.5"), EncodeTime(14, 5, 9, 500));
  EXPECT_DOUBLE_EQ(SqlTextToTime("14:05:09.123456"), EncodeTime(14, 5, 9, 123));
  EXPECT_DOUBLE_EQ(SqlTextToTime("2001-12-31 14:05:09.999"), At(2001, 12, 31, 14, 5, 9, 999));
  EXPECT_DOUBLE_EQ(SqlTextToDate("2001-12-31 14:05:09.040"), At(2001, 12, 31, 14, 5, 9, 40));
  EXPECT_DOUBLE_EQ(SqlTextToTime("25:61:00"), EncodeTime(23, 59, 0, 0));
  EXPECT_EQ(SqlTextToTime("14:05"), 0.0);
  EXPECT_EQ(SqlTextToTime(""), 0.0);
  EXPECT_DOUBLE_EQ(SqlTextToTime("2001-12-31 14:05:09"), At(2001, 12, 31, 14, 5, 9));
  EXPECT_DOUBLE_EQ(SqlTextToTime("2001-12-31"), At(2001, 12, 31));
}

TEST(DaysInMonth, FollowsTheGregorianRules) {
  EXPECT_EQ(DaysInMonth(1, 2001), 31);
  EXPECT_EQ(DaysInMonth(4, 2001), 30);
  EXPECT_EQ(DaysInMonth(2, 2001), 28);
  EXPECT_EQ(DaysInMonth(2, 2004), 29);
  EXPECT_EQ(DaysInMonth(2, 1900), 28);
  EXPECT_EQ(DaysInMonth(2, 2000), 29);
  EXPECT_EQ(DaysInMonth(0, 2000), 30);
  EXPECT_EQ(DaysInMonth(13, 2000), 30);
}

TEST(InsertTimestampSeparators, DashesCompactTimestamps) {
  struct Case {
    const char* in;
    const char* out;
  };
  const Case cases[] = {
      {"20011231235959", "2001-12-31 23:59:59"},
      {"011231235959", "01-12-31 23:59:59"},
      {"0112312359", "01-12-31 23:59"},
      {"20011231", "2001-12-31"},
      {"011231", "01-12-31"},
      {"0112", "01-12"},
      {"01", "01"},
      {"", ""},
      {"2001-12-31 23:59:59", "2001-12-31 23:59:59"},  // already dashed
      {"0000-00-00 00:00:00", "0000-00-00 00:00:00"},
  };
  for (const auto& c : cases) EXPECT_EQ(InsertTimestampSeparators(c.in), c.out) << c.in;
}

}  // namespace
}  // namespace tabulix
