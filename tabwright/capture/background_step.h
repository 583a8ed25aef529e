#pragma once

#include <QObject>

#include <functional>
#include <thread>

namespace tabwright {

// Runs a slow step (starting the spreadsheet application, quitting it) and then its
// continuation on the caller's thread. One step at a time: a new step first finishes the
// one before.
class BackgroundStep {
public:
    virtual ~BackgroundStep() = default;
    virtual void run(std::function<void()> work, std::function<void()> done) = 0;
    // Waits for the step under way, if any, and runs its continuation now.
    virtual void finish() = 0;
};

// Runs both at once, in the caller's thread: for callers without an event loop to keep
// answering (the command line, tests).
class InlineStep final : public BackgroundStep {
public:
    void run(std::function<void()> work, std::function<void()> done) override
    {
        work();
        done();
    }
    void finish() override {}
};

// Runs the work in a thread of its own and the continuation from the caller's event loop,
// so a window keeps answering meanwhile. Its end waits for the work and drops the
// continuation.
class ThreadStep final : public BackgroundStep {
public:
    ThreadStep() = default;
    ~ThreadStep() override;
    ThreadStep(const ThreadStep&) = delete;
    ThreadStep& operator=(const ThreadStep&) = delete;

    void run(std::function<void()> work, std::function<void()> done) override;
    void finish() override;

private:
    QObject receiver_;  // where the worker posts the continuation; lives in the caller's thread
    std::thread worker_;
    std::function<void()> done_;
    unsigned step_ = 0;  // the latest step; read and written in the caller's thread only
};

}  // namespace tabwright
