#pragma once

#include <chrono>
#include <cstdint>

#include "logfetch/download/clock.h"

namespace logfetch {

// The local time of day, read once and carried on by the steady clock, so that
// setting the system clock or a change to summer time while a download runs
// never makes a time-out come early or never.
class TimeOfDayClock : public Clock {
public:
    TimeOfDayClock();
    std::int32_t millisecondsSinceMidnight() override;

private:
    std::chrono::steady_clock::time_point start_;
    std::int32_t startTimeOfDay_;
};

}  // namespace logfetch
