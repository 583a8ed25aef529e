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
    const unsigned step = ++step_;
    worker_ = std::thread([this, step, work = std::move(work)]() mutable {
        work();
        work = nullptr;  // what the work holds is let go in its own thread
        // A step finished early by finish() must not finish (wait for) a later one.
        QMetaObject::invokeMethod(
            &receiver_,
            [this, step] {
                if (step == step_)
                    finish();
            },
            Qt::QueuedConnection);
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
