#include "tabwright/calc/running_processes.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "tabwright/testing/process_naming.h"

namespace tabwright {
namespace {

using namespace std::string_literals;

TEST(RunningProcesses, AProcessIsListedByItsNumberWhileItRunsAndNotOnceItHasEnded)
{
    const std::string marker = "running-processes-test-" + std::to_string(getpid());
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        execl("/bin/sh", "sh", "-c", "sleep 60; :", marker.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    // The child shows under its own name only once it has started the shell.
    std::optional<RunningProcess> listed;
    while (!(listed = testing_support::processNaming(marker)))
        ASSERT_EQ(waitpid(child, nullptr, WNOHANG), 0) << "the shell ended before it was listed";
    EXPECT_EQ(listed->id, child);
    EXPECT_EQ(listed->commandLine, "sh\0-c\0sleep 60; :\0"s + marker + '\0');

    ::kill(child, SIGKILL);
    ASSERT_EQ(waitpid(child, nullptr, 0), child);
    EXPECT_FALSE(testing_support::processNaming(marker).has_value());
}

}  // namespace
}  // namespace tabwright
