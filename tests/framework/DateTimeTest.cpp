#include "framework/DateTime.h"

#include <gtest/gtest.h>

namespace tabulix {
namespace {

TEST(DateTime, DayZeroIsThe30thOfDecember1899) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
  EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
  EXPECT_EQ(EncodeDate(2001, 12, 31), 37256.0);
  EXPECT_EQ(EncodeDate(1, 1, 1), -693593.0);
  EXPECT_EQ(DateTimeToDayNumber(EncodeDate(1, 1, 1)), 1);
  EXPECT_FALSE(TryEncodeDate(2001, 2, 29));
  EXPECT_TRUE(TryEncodeDate(2000, 2, 29));
  EXPECT_FALSE(TryEncodeDate(1900, 2, 29));
  EXPECT_FALSE(TryEncodeDate(0, 1, 1));
}

TEST(DateTime, DecodeInvertsEncodeOverTheWholeRange) {
  for (int year : {1, 4, 100, 1582, 1899, 1900, 2000, 2024, 9999}) {
    for (int month = 1; month <= 12; ++month) {
      for (int day : {1, 15, DaysInAMonth(year, month)}) {
        DateParts p = DecodeDate(EncodeDate(year, month, day));
        ASSERT_EQ(p.year, year);
        ASSERT_EQ(p.month, month);
        ASSERT_EQ(p.day, day);
      }
    }
  }
}

TEST(DateTime, EveryDayFollowsTheDayBefore) {
  // Walks the calendar by its own month lengths, so that encoding and decoding are checked
  // against counting rather than only against each other.
  TDateTime expected = EncodeDate(1, 1, 1);
  for (int year = 1; year <= 9999; ++year) {
    for (int month = 1; month <= 12; ++month) {
      for (int day = 1; day <= DaysInAMonth(year, month); ++day) {
        ASSERT_EQ(TryEncodeDate(year, month, day), expected) << year << "-" << month << "-" << day;
        DateParts p = DecodeDate(expected);
        ASSERT_EQ(p.year * 10000 + p.month * 100 + p.day, year * 10000 + month * 100 + day);
        expected += 1;
      }
      ASSERT_FALSE(TryEncodeDate(year, month, DaysInAMonth(year, month) + 1));
    }
  }
}

TEST(DateTime, TimeBeforeDayZeroCountsForwardFromMidnight) {
  TDateTime v = ComposeDateTime(EncodeDate(1899, 12, 29), EncodeTime(6, 0, 0, 0));
  EXPECT_DOUBLE_EQ(v, -1.25);
  EXPECT_EQ(DecodeDate(v).day, 29);
  EXPECT_EQ(DecodeTime(v).hour, 6);
  TimeParts t = DecodeTime(EncodeTime(23, 59, 59, 999));
  EXPECT_EQ(t.hour * 10000000 + t.minute * 100000 + t.second * 1000 + t.millisecond, 235959999);
  // A value a hair below midnight rounds to the next day, not to 24:00:00.
  TDateTime almost = EncodeDate(2001, 12, 31) + 0.99999999999;
  EXPECT_EQ(DecodeDate(almost).year, 2002);
  EXPECT_EQ(DateTimeToMsOfDay(almost), 0);
}

TEST(DateTime, DisplayText) {
  EXPECT_EQ(DateTimeToStr(EncodeDate(2001, 12, 31)), "2001-12-31");
  EXPECT_EQ(DateTimeToStr(EncodeTime(14, 5, 9, 0)), "14:05:09");
  EXPECT_EQ(DateTimeToStr(EncodeDate(2001, 12, 31) + EncodeTime(14, 5, 9, 7)),
            "2001-12-31 14:05:09.007");
  EXPECT_EQ(DateTimeToStr(0.0), "00:00:00");
}

}  // namespace
}  // namespace tabulix
