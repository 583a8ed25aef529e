#include "tabwright/capture/time_of_day.h"

#include <algorithm>
#include <chrono>
#include <ctime>

namespace tabwright {

std::int32_t SystemTimeOfDay::millisecondsSinceMidnight()
{
    using namespace std::chrono;
    const auto now = time_point_cast<milliseconds>(system_clock::now());
    const std::time_t seconds = system_clock::to_time_t(now);
    std::tm local{};
    ::localtime_r(&seconds, &local);
    const auto fraction = (now - time_point_cast<std::chrono::seconds>(now)).count();
    const std::int64_t sinceMidnight =
        ((local.tm_hour * 60 + local.tm_min) * 60 + local.tm_sec) * 1000LL + fraction;
    // A leap second (tm_sec 60) stays within the day.
    return static_cast<std::int32_t>(
        std::min<std::int64_t>(sinceMidnight, kMillisecondsPerDay - 1));
}

double HoursSinceMidnight(TimeOfDay& clock)
{
    const std::int32_t milliseconds = clock.millisecondsSinceMidnight();
    std::int32_t seconds = milliseconds / 1000;
    const std::int32_t rest = milliseconds % 1000;
    if (rest > 500 || (rest == 500 && seconds % 2 == 1))
        ++seconds;
    return seconds / 3600.0;
}

}  // namespace tabwright
