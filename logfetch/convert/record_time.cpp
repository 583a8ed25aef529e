#include "logfetch/convert/record_time.h"

#include <cstddef>

namespace logfetch {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

void putTwoDigits(char* out, int value)
{
    const int lastTwo = value % 100;
    out[0] = static_cast<char>('0' + lastTwo / 10);
    out[1] = static_cast<char>('0' + lastTwo % 10);
}

int fullYear(int twoDigitYear)
{
    return twoDigitYear < 30 ? 2000 + twoDigitYear : 1900 + twoDigitYear;
}

bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int month, int year)
{
    static constexpr std::array<int, 12> kDays{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kDays[static_cast<std::size_t>(month - 1)];
}

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
std::int64_t daysFromCivil(int year, int month, int day)
{
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int yearOfEra = static_cast<int>(year - era * 400);
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

struct CivilDate {
    int year;
    int month;
    int day;
};

CivilDate civilFromDays(std::int64_t days)
{
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int dayOfEra = static_cast<int>(days - era * 146097);
    const int yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int monthIndex = (5 * dayOfYear + 2) / 153;
    const int day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    const int month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    const int year = static_cast<int>(yearOfEra + era * 400) + (month <= 2 ? 1 : 0);
    return {year, month, day};
}

}  // namespace

DateTimeText::DateTimeText(int month, int day, int year, int hour, int minute, int second)
{
    putTwoDigits(&chars_[0], month);
    chars_[2] = '/';
    putTwoDigits(&chars_[3], day);
    chars_[5] = '/';
    putTwoDigits(&chars_[6], year);
    chars_[8] = ' ';
    putTwoDigits(&chars_[9], hour);
    chars_[11] = ':';
    putTwoDigits(&chars_[12], minute);
    chars_[14] = ':';
    putTwoDigits(&chars_[15], second);
}

DateTimeText stampText(const StampBytes& s)
{
    return DateTimeText(s[0], s[1], s[2], s[3], s[4], s[5]);
}

DateTimeText recordStampText(const RecordStamp& s)
{
    return DateTimeText(s.month, s.day, (s.yearField + 90) % 100, s.hour, s.minute, s.second);
}

bool isValidStamp(const StampBytes& s)
{
    const int month = s[0];
    const int day = s[1];
    const int year = fullYear(s[2] % 100);
    return month >= 1 && month <= 12 && day >= 1 && day <= daysInMonth(month, year) && s[3] <= 23 &&
           s[4] <= 59 && s[5] <= 59;
}

std::optional<RunningTime> RunningTime::fromStamp(const StampBytes& s)
{
    if (!isValidStamp(s))
        return std::nullopt;
    const std::int64_t days = daysFromCivil(fullYear(s[2] % 100), s[0], s[1]);
    return RunningTime(days * kSecondsPerDay + std::int64_t{s[3]} * 3600 + std::int64_t{s[4]} * 60 + s[5]);
}

void RunningTime::addSeconds(int seconds)
{
    seconds_ += seconds;
}

DateTimeText RunningTime::text() const
{
    // Floor division: dates before 1970 (two-digit years 30 to 69) are negative.
    std::int64_t days = seconds_ / kSecondsPerDay;
    int secondOfDay = static_cast<int>(seconds_ % kSecondsPerDay);
    if (secondOfDay < 0) {
        secondOfDay += static_cast<int>(kSecondsPerDay);
        --days;
    }
    const CivilDate date = civilFromDays(days);
    return DateTimeText(date.month, date.day, date.year, secondOfDay / 3600, secondOfDay / 60 % 60,
                        secondOfDay % 60);
}

}  // namespace logfetch
