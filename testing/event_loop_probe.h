#pragma once

#include <QObject>
#include <QTimer>

#include <algorithm>
#include <chrono>

namespace testing_support {

// How long the event loop goes without turning: a 1 ms precise timer notes the longest
// gap between two of its timeouts while the loop runs (nested loops count as turning).
class EventLoopProbe {
public:
    EventLoopProbe()
    {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, [this] { note(); });
    }

    // Starts a new measurement.
    void start()
    {
        longest_ = {};
        last_ = Clock::now();
        timer_.start();
    }
    // The longest gap since start(), the one still open included.
    std::chrono::duration<double, std::milli> longest() const
    {
        return std::max(longest_, std::chrono::duration<double, std::milli>(Clock::now() - last_));
    }

private:
    using Clock = std::chrono::steady_clock;

    void note()
    {
        const auto now = Clock::now();
        longest_ = std::max(longest_, std::chrono::duration<double, std::milli>(now - last_));
        last_ = now;
    }

    QTimer timer_;
    Clock::time_point last_{};
    std::chrono::duration<double, std::milli> longest_{};
};

}  // namespace testing_support
