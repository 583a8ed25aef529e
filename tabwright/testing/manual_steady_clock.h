#pragma once

#include <chrono>

#include "tabwright/emulator/steady_clock.h"

namespace testing_support {

// A steady clock that moves only when the test moves it.
class ManualSteadyClock final : public tabwright::SteadyClock {
public:
    std::chrono::steady_clock::time_point now() override { return now_; }
    void advance(std::chrono::milliseconds by) { now_ += by; }

private:
    std::chrono::steady_clock::time_point now_{};
};

}  // namespace testing_support
