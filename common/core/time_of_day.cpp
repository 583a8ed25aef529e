#include "common/core/time_of_day.h"

#include <algorithm>
#include <chrono>
#include <ctime>

namespace common {

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
    return static_cast<std::int32_t>(std::min<std::int64_t>(sinceMidnight, kMillisecondsPerDay - 1));
}

}  // namespace common
