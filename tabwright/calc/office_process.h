#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace tabwright {

// Whether any process of the group is still running (zombies do not count).
bool processGroupRunning(pid_t processGroup);

// One spreadsheet application process started by us, leader of a process group of its
// own: the launcher forks the application proper, and a forced end must reach both.
class OfficeProcess {
public:
    // Starts `program` with `arguments`, its standard streams on /dev/null.
    // Throws std::runtime_error when it cannot be started.
    OfficeProcess(const std::string& program, const std::vector<std::string>& arguments);
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

private:
    void reap();

    pid_t group_ = -1;
    bool reaped_ = false;
};

}  // namespace tabwright
