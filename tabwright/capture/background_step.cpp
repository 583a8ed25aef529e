#include "tabwright/capture/background_step.h"

#include <QMetaObject>

#include <utility>

namespace tabwright {

ThreadStep::~ThreadStep()
{
    if (worker_.joinable())
        worker_.join();
}

void ThreadStep::run(std::function<void()> work, std::function<void()> done)
{
    finish();
    done_ = std::move(done);
    worker_ = std::thread([this, work = std::move(work)]() mutable {
        work();
        work = nullptr;  // what the work holds is let go in its own thread
        QMetaObject::invokeMethod(
            &receiver_, [this] { finish(); }, Qt::QueuedConnection);
    });
}

void ThreadStep::finish()
{
    if (worker_.joinable())
        worker_.join();
    if (auto done = std::exchange(done_, nullptr))
        done();
}

}  // namespace tabwright
