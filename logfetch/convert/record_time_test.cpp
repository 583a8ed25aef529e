#include "logfetch/convert/record_time.h"

#include <gtest/gtest.h>

namespace logfetch {
namespace {

StampBytes stamp(int month, int day, int year, int hour, int minute, int second)
{
    return {static_cast<std::uint8_t>(month),  static_cast<std::uint8_t>(day),
            static_cast<std::uint8_t>(year),   static_cast<std::uint8_t>(hour),
            static_cast<std::uint8_t>(minute), static_cast<std::uint8_t>(second)};
}

std::string after(const StampBytes& start, int seconds)
{
    auto time = RunningTime::fromStamp(start);
    EXPECT_TRUE(time);
    time->addSeconds(seconds);
    return std::string(time->text().text());
}

TEST(StampText, EveryByteAsTwoDigits)
{
    EXPECT_EQ(stampText(stamp(7, 1, 3, 0, 5, 9)).text(), "07/01/03 00:05:09");
    EXPECT_EQ(stampText(stamp(123, 100, 199, 45, 250, 77)).text(), "23/00/99 45:50:77");
    const DateTimeText t = stampText(stamp(3, 15, 3, 10, 20, 30));
    EXPECT_EQ(t.date(), "03/15/03");
    EXPECT_EQ(t.time(), "10:20:30");
}

TEST(StampValidity, MonthDayAndClockRanges)
{
    EXPECT_TRUE(isValidStamp(stamp(3, 15, 3, 10, 20, 30)));
    EXPECT_TRUE(isValidStamp(stamp(12, 31, 99, 23, 59, 59)));
    EXPECT_FALSE(isValidStamp(stamp(0, 1, 3, 0, 0, 0)));
    EXPECT_FALSE(isValidStamp(stamp(13, 1, 3, 0, 0, 0)));
    EXPECT_FALSE(isValidStamp(stamp(4, 31, 3, 0, 0, 0)));
    EXPECT_FALSE(isValidStamp(stamp(1, 0, 3, 0, 0, 0)));
    EXPECT_FALSE(isValidStamp(stamp(1, 1, 3, 24, 0, 0)));
    EXPECT_FALSE(isValidStamp(stamp(1, 1, 3, 0, 60, 0)));
    EXPECT_FALSE(isValidStamp(stamp(1, 1, 3, 0, 0, 60)));
}

TEST(StampValidity, LeapDaysFollowTheTwoDigitYearRule)
{
    EXPECT_TRUE(isValidStamp(stamp(2, 29, 0, 0, 0, 0)));    // 2000
    EXPECT_TRUE(isValidStamp(stamp(2, 29, 4, 0, 0, 0)));    // 2004
    EXPECT_FALSE(isValidStamp(stamp(2, 29, 3, 0, 0, 0)));   // 2003
    EXPECT_FALSE(isValidStamp(stamp(2, 29, 29, 0, 0, 0)));  // 2029
    EXPECT_FALSE(isValidStamp(stamp(2, 29, 30, 0, 0, 0)));  // 1930
    EXPECT_TRUE(isValidStamp(stamp(2, 29, 96, 0, 0, 0)));   // 1996
}

TEST(RunningTime, RollsOverMinutesHoursDaysMonthsAndYears)
{
    EXPECT_EQ(after(stamp(3, 15, 3, 10, 20, 30), 10), "03/15/03 10:20:40");
    EXPECT_EQ(after(stamp(3, 15, 3, 10, 59, 50), 600), "03/15/03 11:09:50");
    EXPECT_EQ(after(stamp(2, 28, 3, 23, 59, 59), 1), "03/01/03 00:00:00");
    EXPECT_EQ(after(stamp(2, 28, 4, 23, 30, 0), 1800), "02/29/04 00:00:00");
    EXPECT_EQ(after(stamp(12, 31, 99, 23, 59, 50), 10), "01/01/00 00:00:00");
    EXPECT_EQ(after(stamp(12, 31, 69, 23, 59, 59), 1), "01/01/70 00:00:00");
    EXPECT_EQ(after(stamp(12, 31, 29, 23, 59, 59), 1), "01/01/30 00:00:00");
    EXPECT_EQ(after(stamp(1, 31, 3, 12, 0, 0), 1800 * 48 * 30), "03/02/03 12:00:00");
}

TEST(RunningTime, RejectsAnInvalidStart)
{
    EXPECT_FALSE(RunningTime::fromStamp(stamp(2, 30, 3, 0, 0, 0)));
}

}  // namespace
}  // namespace logfetch
