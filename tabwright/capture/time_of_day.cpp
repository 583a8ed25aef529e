#include "tabwright/capture/time_of_day.h"

namespace tabwright {

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
