#pragma once

#include <cstdint>

#include "logfetch/download/clock.h"

namespace testing_support {

// A time of day that moves only when a test says so, wrapping at midnight.
class FakeClock : public logfetch::Clock {
public:
    explicit FakeClock(std::int32_t millisecondsSinceMidnight = 12 * 3600 * 1000)
        : now_(millisecondsSinceMidnight)
    {
    }

    std::int32_t millisecondsSinceMidnight() override { return now_; }
    void advance(std::int32_t milliseconds) { now_ = (now_ + milliseconds) % logfetch::kMillisecondsPerDay; }
    void set(std::int32_t millisecondsSinceMidnight) { now_ = millisecondsSinceMidnight; }

private:
    std::int32_t now_;
};

}  // namespace testing_support
