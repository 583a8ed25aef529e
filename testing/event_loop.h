#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

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
// whether it held. The loop sleeps between events, waking every millisecond
// to look at the condition.
template <typename Condition>
bool runEventsUntil(Condition condition, std::chrono::milliseconds timeout = std::chrono::seconds(30))
{
    ensureCoreApplication();
    const QDeadlineTimer deadline(timeout);
    QTimer tick;
    tick.start(1);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// Runs the event loop for the whole time given, sleeping while nothing happens.
inline void runEventsFor(std::chrono::milliseconds time)
{
    ensureCoreApplication();
    QEventLoop loop;
    QTimer::singleShot(time, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace testing_support
