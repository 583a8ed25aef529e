#pragma once

#include <cstdint>

namespace common {

inline constexpr std::int32_t kMillisecondsPerDay = 24 * 60 * 60 * 1000;

// A clock that tells the time of day: what time-outs are measured with and
// time stamps are taken from.
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

}  // namespace common
