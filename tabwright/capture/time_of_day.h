#pragma once

#include <cstdint>

namespace tabwright {

inline constexpr std::int32_t kMillisecondsPerDay = 24 * 60 * 60 * 1000;

// The system clock's time of day.
class TimeOfDay {
public:
    virtual ~TimeOfDay() = default;
    // Milliseconds since midnight, 0 .. kMillisecondsPerDay - 1.
    virtual std::int32_t millisecondsSinceMidnight() = 0;
};

// The local time of day as the system clock tells it at each call.
class SystemTimeOfDay : public TimeOfDay {
public:
    std::int32_t millisecondsSinceMidnight() override;
};

// The time of day in hours: the seconds since midnight rounded to a whole second
// (halves to the even second), divided by 3600. 13:30:00 gives 13.5.
double HoursSinceMidnight(TimeOfDay& clock);

}  // namespace tabwright
