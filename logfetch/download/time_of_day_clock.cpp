#include "logfetch/download/time_of_day_clock.h"

namespace logfetch {

TimeOfDayClock::TimeOfDayClock()
    : start_(std::chrono::steady_clock::now()),
      startTimeOfDay_(common::SystemTimeOfDay().millisecondsSinceMidnight())
{
}

std::int32_t TimeOfDayClock::millisecondsSinceMidnight()
{
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start_)
            .count();
    return static_cast<std::int32_t>((startTimeOfDay_ + elapsed) % kMillisecondsPerDay);
}

}  // namespace logfetch
