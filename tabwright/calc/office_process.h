#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace tabwright {

// Whether any process of the group is still running (zombies do not count).
bool processGroupRunning(pid_t processGroup);

// One spreadsheet application process started by us, leader of a process group of its
// own: the launcher forks the application proper, and a forced end must reach both.
//
// A watchdog (a small shell of its own process group, deaf to terminal signals) waits on
// a pipe that only this program writes to. When the program ends without having let the
// process go (killed, or a second Ctrl-C), the pipe closes: the watchdog kills the group
// and removes its leftovers, so no private instance outlives the program. A process left
// to the user keeps a waiter of the watchdog's that removes the leftovers when it ends.
class OfficeProcess {
public:
    struct Start {
        std::string program;
        std::vector<std::string> arguments;
        // NAME=VALUE settings added to the program's environment, replacing its own.
        std::vector<std::string> environment;
        // Files and folders the watchdog removes after killing the group.
        std::vector<std::string> leftovers;
    };
    // Starts the program, its standard streams on /dev/null, and its watchdog.
    // Throws std::runtime_error when it cannot be started.
    explicit OfficeProcess(const Start& start);
    OfficeProcess(const OfficeProcess&) = delete;
    OfficeProcess& operator=(const OfficeProcess&) = delete;
    // Leaves the processes running: an instance stays open for the user.
    ~OfficeProcess();

    pid_t processGroup() const { return group_; }
    // Whether any process of the group is still running.
    bool running();
    // Waits until no process of the group is left; false when the time ran out.
    bool waitForEnd(std::chrono::milliseconds timeout);
    // Kills every process of the group and waits for them to go.
    void kill();
    // Sends the watchdog away: the process has ended and its leftovers are seen to.
    void letGo();
    // Leaves the process running for the user: its leftovers are removed once no process of
    // its group runs any more, whether this program still runs then or not.
    void leaveToUser();

private:
    void reap();
    void dismissWatchdog(std::string_view word);
    void startWatchdog(const std::vector<std::string>& leftovers);

    pid_t group_ = -1;
    bool reaped_ = false;
    int watchdog_ = -1;  // the pipe the watchdog waits on; -1 once let go
    pid_t watchdogProcess_ = -1;
};

}  // namespace tabwright
