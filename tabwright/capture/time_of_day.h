#pragma once

#include <cstdint>

#include "common/core/time_of_day.h"

namespace tabwright {

using common::kMillisecondsPerDay;
using common::SystemTimeOfDay;
using common::TimeOfDay;

// The time of day in hours: the seconds since midnight rounded to a whole second
// (halves to the even second), divided by 3600. 13:30:00 gives 13.5.
double HoursSinceMidnight(TimeOfDay& clock);

}  // namespace tabwright
