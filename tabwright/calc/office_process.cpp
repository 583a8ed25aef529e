#include "tabwright/calc/office_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace tabwright {

OfficeProcess::OfficeProcess(const std::string& program, const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    std::string name = program;
    argv.push_back(name.data());
    std::vector<std::string> copies = arguments;
    for (std::string& argument : copies)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    for (int stream = 0; stream <= 2; ++stream)
        posix_spawn_file_actions_addopen(&actions, stream, "/dev/null", stream == 0 ? O_RDONLY : O_WRONLY, 0);
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    pid_t pid = -1;
    const int error = posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (error == ENOENT)
        throw std::runtime_error(
            "cannot start " + program + ": " + std::strerror(error) +
            " (is LibreOffice Calc installed? Debian: apt-get install libreoffice-calc)");
    if (error != 0)
        throw std::runtime_error("cannot start " + program + ": " + std::strerror(error));
    group_ = pid;
}

OfficeProcess::~OfficeProcess()
{
    reap();
}

void OfficeProcess::reap()
{
    if (!reaped_ && waitpid(group_, nullptr, WNOHANG) == group_)
        reaped_ = true;
}

bool OfficeProcess::running()
{
    reap();
    return processGroupRunning(group_);
}

bool processGroupRunning(pid_t processGroup)
{
    // A killed process whose parent went first may linger as a zombie until the system
    // collects it; it runs no more, so only live members of the group count.
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        if (!std::getline(stat, line))
            continue;
        // pid (command) state parent group ...; the command may hold spaces and brackets.
        const auto close = line.rfind(')');
        if (close == std::string::npos)
            continue;
        std::istringstream fields(line.substr(close + 1));
        char state = 0;
        long parent = 0;
        long group = 0;
        if (fields >> state >> parent >> group && group == processGroup && state != 'Z' && state != 'X')
            return true;
    }
    return false;
}

bool OfficeProcess::waitForEnd(std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (running()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

void OfficeProcess::kill()
{
    ::kill(-group_, SIGKILL);
    // Killed processes vanish once their parents collect them, which takes a moment.
    waitForEnd(std::chrono::seconds(30));
}

}  // namespace tabwright
