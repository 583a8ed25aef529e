#pragma once

#include <cstdint>

namespace logfetch {

inline constexpr std::int32_t kMillisecondsPerDay = 24 * 60 * 60 * 1000;

// The time of day the transfer measures its time-out with.
class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since midnight, 0 .. kMillisecondsPerDay - 1.
    virtual std::int32_t millisecondsSinceMidnight() = 0;
};

}  // namespace logfetch
