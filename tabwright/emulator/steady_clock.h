#pragma once

#include <chrono>

namespace tabwright {

// A clock that only moves forward, whatever the time of day does; paces the emulator.
class SteadyClock {
public:
    virtual ~SteadyClock() = default;
    virtual std::chrono::steady_clock::time_point now() = 0;
};

// The system's steady clock.
class SystemSteadyClock final : public SteadyClock {
public:
    std::chrono::steady_clock::time_point now() override { return std::chrono::steady_clock::now(); }
};

}  // namespace tabwright
