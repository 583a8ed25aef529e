#pragma once

#include "common/core/time_of_day.h"

namespace logfetch {

// The time of day the transfer measures its time-out with.
using Clock = common::TimeOfDay;
using common::kMillisecondsPerDay;

}  // namespace logfetch
