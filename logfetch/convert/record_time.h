#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "logfetch/convert/bin_format.h"

// Dates and times of records: the "MM/DD/YY hh:mm:ss" text, the check that a
// header stamp is a real date and time, and the running clock of the interval
// layout.
namespace logfetch {

// "MM/DD/YY hh:mm:ss": the date is the first 8 characters, the time the last 8.
class DateTimeText {
public:
    DateTimeText(int month, int day, int year, int hour, int minute, int second);

    std::string_view text() const { return {chars_.data(), chars_.size()}; }
    std::string_view date() const { return text().substr(0, 8); }
    std::string_view time() const { return text().substr(9, 8); }

    // Equal when date and time are; this is how the end of a data set is found.
    bool operator==(const DateTimeText& other) const = default;

private:
    std::array<char, 17> chars_{};
};

// A header stamp exactly as stored, each byte shown as two digits.
DateTimeText stampText(const StampBytes& stamp);

// A stamped record's own time; its year is shown as (field + 90) mod 100.
DateTimeText recordStampText(const RecordStamp& stamp);

// Month 1-12, a day the month has (two-digit year YY is 20YY below 30, else
// 19YY), hour up to 23, minute and second up to 59.
bool isValidStamp(const StampBytes& stamp);

// Wall-clock time that advances in whole seconds with calendar roll-over.
class RunningTime {
public:
    // Empty when the stamp is not a valid date and time.
    static std::optional<RunningTime> fromStamp(const StampBytes& stamp);

    void addSeconds(int seconds);
    DateTimeText text() const;

private:
    explicit RunningTime(std::int64_t secondsSinceEpoch) : seconds_(secondsSinceEpoch) {}
    std::int64_t seconds_;
};

}  // namespace logfetch
