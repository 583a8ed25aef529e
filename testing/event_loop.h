#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <chrono>

namespace testing_support {

// The Qt application object that event-driven code needs (socket notifiers,
// queued calls). Made on first use; a QApplication made earlier serves too.
inline void ensureCoreApplication()
{
    if (QCoreApplication::instance() != nullptr)
        return;
    static int argc = 1;
    static char name[] = "test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication application(argc, argv);
}

// Runs the event loop until condition() holds or timeout passes; returns
// whether it held.
template <typename Condition>
bool runEventsUntil(Condition condition, std::chrono::milliseconds timeout = std::chrono::seconds(5))
{
    ensureCoreApplication();
    const QDeadlineTimer deadline(timeout);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// Runs the event loop for the whole time given.
inline void runEventsFor(std::chrono::milliseconds time)
{
    runEventsUntil([] { return false; }, time);
}

}  // namespace testing_support
