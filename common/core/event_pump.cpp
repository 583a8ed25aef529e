#include "common/core/event_pump.h"

#include <QCoreApplication>

namespace common {

void EventPump::operator()()
{
    if (++callsSinceClockRead_ < kCallsPerClockRead)
        return;
    callsSinceClockRead_ = 0;
    const auto now = std::chrono::steady_clock::now();
    if (now - lastRun_ < period_)
        return;
    QCoreApplication::processEvents();
    lastRun_ = std::chrono::steady_clock::now();
    ++timesRun_;
}

}  // namespace common
