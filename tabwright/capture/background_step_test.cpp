#include "tabwright/capture/background_step.h"

#include <QCoreApplication>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "testing/event_loop.h"

namespace tabwright {
namespace {

using namespace std::chrono_literals;
using testing::ElementsAre;

TEST(ThreadStep, TheContinuationRunsFromTheEventLoopAndAnEarlyFinishLeavesALaterStepAlone)
{
    testing_support::ensureCoreApplication();
    ThreadStep steps;
    std::vector<std::string> done;
    std::thread::id workedIn;
    steps.run([&] { workedIn = std::this_thread::get_id(); }, [&] { done.push_back("first"); });
    EXPECT_TRUE(done.empty());  // never before the event loop or finish()
    steps.finish();
    EXPECT_NE(workedIn, std::this_thread::get_id());
    EXPECT_THAT(done, ElementsAre("first"));

    std::atomic<bool> release{false};
    steps.run(
        [&] {
            while (!release)
                std::this_thread::sleep_for(1ms);
        },
        [&] { done.push_back("second"); });
    // Lets a wrong wait end rather than hang the test.
    std::thread safety([&] {
        for (int waited = 0; waited < 10000 && !release; ++waited)
            std::this_thread::sleep_for(1ms);
        release = true;
    });
    // The first step's notice arrives now: it must neither wait for nor finish the second.
    QCoreApplication::processEvents();
    EXPECT_THAT(done, ElementsAre("first"));
    release = true;
    EXPECT_TRUE(testing_support::runEventsUntil([&] { return done.size() == 2; }, 30s));
    EXPECT_THAT(done, ElementsAre("first", "second"));
    safety.join();
}

TEST(InlineStep, RunsTheWorkAndTheContinuationAtOnce)
{
    InlineStep steps;
    std::vector<std::string> order;
    steps.run([&] { order.push_back("work"); }, [&] { order.push_back("done"); });
    EXPECT_THAT(order, ElementsAre("work", "done"));
}

}  // namespace
}  // namespace tabwright
