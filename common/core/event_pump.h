#pragma once

#include <chrono>
#include <cstdint>

namespace common {

// Lets a long job inside one handler keep the windows alive: call it after
// every small step, and at most once per period it runs the pending window
// events (timers, painting). The clock is read only every few calls, so a
// job of millions of steps pays next to nothing for it.
class EventPump {
public:
    explicit EventPump(std::chrono::milliseconds period = std::chrono::milliseconds(5)) : period_(period) {}

    void operator()();

    std::int64_t timesRun() const { return timesRun_; }

private:
    static constexpr unsigned kCallsPerClockRead = 64;

    std::chrono::steady_clock::duration period_;
    std::chrono::steady_clock::time_point lastRun_ = std::chrono::steady_clock::now();
    unsigned callsSinceClockRead_ = 0;
    std::int64_t timesRun_ = 0;
};

}  // namespace common
