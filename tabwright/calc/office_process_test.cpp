#include "tabwright/calc/office_process.h"

#include <signal.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "tabwright/testing/process_naming.h"
#include "testing/event_loop.h"
#include "testing/temp_folder.h"

namespace tabwright {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// A stand-in for the office: a process that runs until it is killed, with a profile folder
// and a socket-like file as its leftovers.
struct StandIn {
    testing_support::TempFolder folder;
    std::string profile = folder.file("instances/instance-test");
    std::string socket = folder.file("socket");
    std::unique_ptr<OfficeProcess> process;

    StandIn()
    {
        fs::create_directories(profile + "/user");
        std::ofstream(socket) << "socket";
        process = std::make_unique<OfficeProcess>(
            OfficeProcess::Start{"/bin/sleep", {"3600"}, {}, {profile, socket}});
    }
    bool leftoversThere() const { return fs::exists(profile) && fs::exists(socket); }
    bool leftoversGone() const { return !fs::exists(profile) && !fs::exists(socket); }
};

TEST(OfficeProcess, AProcessLeftToTheUserKeepsItsProfileWhileItRunsAndLosesItWhenItEnds)
{
    StandIn office;
    const pid_t group = office.process->processGroup();
    office.process->leaveToUser();
    // Nothing of this program watches it any more.
    office.process.reset();
    EXPECT_TRUE(processGroupRunning(group));
    EXPECT_TRUE(testing_support::processNaming(office.profile).has_value())
        << "no waiter watches the process left to the user";
    EXPECT_TRUE(office.leftoversThere()) << "a profile in use was removed";

    // The user quits it; the zombie it leaves until this program collects it runs no more.
    ::kill(-group, SIGKILL);
    EXPECT_TRUE(testing_support::runEventsUntil([&] { return office.leftoversGone(); }, 30s))
        << "the profile outlived its office";
    EXPECT_TRUE(testing_support::runEventsUntil(
        [&] { return !testing_support::processNaming(office.profile).has_value(); }, 30s))
        << "the waiter outlived the office";
    // The program that made the instances folder still runs: the folder stays for its next start.
    EXPECT_TRUE(fs::exists(office.folder.file("instances")));
}

TEST(OfficeProcess, AWatchdogThatWasKilledDoesNotTakeTheProgramWithItWhenTheProcessIsLetGo)
{
    StandIn office;
    const pid_t group = office.process->processGroup();
    std::optional<RunningProcess> watchdog;
    ASSERT_TRUE(testing_support::runEventsUntil(
        [&] {
            watchdog = testing_support::processNaming(office.profile);
            return watchdog.has_value();
        },
        30s));
    ::kill(watchdog->id, SIGKILL);
    ASSERT_TRUE(testing_support::runEventsUntil(
        [&] { return !testing_support::processNaming(office.profile).has_value(); }, 30s));
    // Telling a dead watchdog to go must not end this program with SIGPIPE.
    office.process->kill();
    office.process->letGo();
    EXPECT_FALSE(processGroupRunning(group));
}

}  // namespace
}  // namespace tabwright
