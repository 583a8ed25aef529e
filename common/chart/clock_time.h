#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace common {

inline constexpr double kSecondsPerDay = 24 * 60 * 60;

// Seconds since midnight of a time of day written "hh:mm:ss" (hours 0-23, minutes and
// seconds 0-59, an optional fraction after the seconds); empty for any other text.
std::optional<double> parseClockTime(std::string_view text);

// A reading time (seconds since the midnight before the run) as "hh:mm:ss" of its day;
// times on later days carry " +N d".
std::string clockTimeText(double seconds);

// Turns times of day into times that keep growing over midnight: a time more than half a
// day before the previous one is taken to be on the next day.
class DayRollover {
public:
    // `secondsOfDay` (0 up to one day) as seconds since the midnight before the first.
    double unroll(double secondsOfDay);
    void reset() { *this = DayRollover(); }

private:
    std::optional<double> previous_;
    double dayStart_ = 0;
};

}  // namespace common
