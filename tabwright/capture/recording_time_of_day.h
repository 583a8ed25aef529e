#pragma once

#include <cstdint>
#include <functional>
#include <utility>

#include "tabwright/capture/time_of_day.h"

namespace tabwright {

// A time of day that tells every answer of `clock` to `heard` before giving it: the
// capture keeps what its parser's clock said, so that a replay can say the same.
class RecordingTimeOfDay : public TimeOfDay {
public:
    RecordingTimeOfDay(TimeOfDay& clock, std::function<void(std::int32_t)> heard)
        : clock_(clock), heard_(std::move(heard))
    {
    }
    std::int32_t millisecondsSinceMidnight() override
    {
        const std::int32_t milliseconds = clock_.millisecondsSinceMidnight();
        heard_(milliseconds);
        return milliseconds;
    }

private:
    TimeOfDay& clock_;
    std::function<void(std::int32_t)> heard_;
};

}  // namespace tabwright
