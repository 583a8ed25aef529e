#include "tabwright/calc/office_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string_view>
#include <thread>

extern char** environ;

namespace tabwright {

namespace {

// What the watchdog runs: $1 is the process group, the other arguments the leftovers.
// "go" on its standard input lets the process go (it has ended, its leftovers are taken
// care of). "user" leaves it to the user: a waiter of the watchdog's own, which this
// program neither waits for nor ends, looks every second whether any process of the group
// still runs and removes the leftovers once none does; the folder holding the first of
// them goes too when it is left empty and the program that made it has ended. The end of
// the pipe kills the group and removes the leftovers and that folder, if left empty.
// A group runs while a process of it that is not a zombie does; the leader (the launcher,
// which lives as long as the office) is looked at first, the other processes only once it
// has gone. The script names nothing that a search for the office's processes would find.
constexpr const char* kWatchdogScript = R"(trap '' HUP INT TERM QUIT PIPE
group=$1
shift
member() {
  read -r line 2>/dev/null < "$1" || return 1
  set -- ${line##*") "}
  [ "$3" = "$group" ] && [ "$1" != Z ] && [ "$1" != X ]
}
running() {
  member "/proc/$group/stat" && return 0
  for stat in /proc/[0-9]*/stat; do
    member "$stat" && return 0
  done
  return 1
}
if read -r word; then
  if [ "$word" = user ]; then
    (
      while running; do sleep 1; done
      rm -rf -- "$@"
      kill -0 "$PPID" 2>/dev/null || rmdir -- "${1%/*}" 2>/dev/null
    ) &
  fi
  exit 0
fi
kill -KILL "-$group" 2>/dev/null
rm -rf -- "$@"
rmdir -- "${1%/*}" 2>/dev/null
)";

// The current environment with `settings` (NAME=VALUE) put in place of the same names.
std::vector<std::string> environmentWith(const std::vector<std::string>& settings)
{
    std::vector<std::string> result;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string_view current(*entry);
        const auto replaced = [&](const std::string& setting) {
            const std::size_t equals = setting.find('=');
            return current.substr(0, current.find('=') + 1) ==
                   std::string_view(setting).substr(0, equals + 1);
        };
        if (std::none_of(settings.begin(), settings.end(), replaced))
            result.emplace_back(current);
    }
    result.insert(result.end(), settings.begin(), settings.end());
    return result;
}

// The C view of a list of strings, ending with a null pointer; valid while `texts` lives.
std::vector<char*> pointersTo(std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    pointers.reserve(texts.size() + 1);
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Starts `argv` as the leader of a new process group: standard input from `input` (or
// /dev/null when -1), output and errors to /dev/null, ignored signals back to their
// defaults. Gives the process id; throws std::runtime_error when it cannot.
pid_t spawnGroup(std::vector<std::string> argv, std::vector<std::string> environment, int input)
{
    std::vector<char*> arguments = pointersTo(argv);
    std::vector<char*> variables = pointersTo(environment);
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    if (input >= 0)
        posix_spawn_file_actions_adddup2(&actions, input, 0);
    else
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    for (int stream = 1; stream <= 2; ++stream)
        posix_spawn_file_actions_addopen(&actions, stream, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGHUP);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF);
    posix_spawnattr_setpgroup(&attributes, 0);
    pid_t pid = -1;
    const int error =
        posix_spawn(&pid, argv.front().c_str(), &actions, &attributes, arguments.data(), variables.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (error == ENOENT)
        throw std::runtime_error(
            "cannot start " + argv.front() + ": " + std::strerror(error) +
            " (is LibreOffice Calc installed? Debian: apt-get install libreoffice-calc)");
    if (error != 0)
        throw std::runtime_error("cannot start " + argv.front() + ": " + std::strerror(error));
    return pid;
}

}  // namespace

OfficeProcess::OfficeProcess(const Start& start)
{
    std::vector<std::string> argv{start.program};
    argv.insert(argv.end(), start.arguments.begin(), start.arguments.end());
    group_ = spawnGroup(argv, environmentWith(start.environment), -1);
    try {
        startWatchdog(start.leftovers);
    } catch (...) {
        kill();
        throw;
    }
}

void OfficeProcess::startWatchdog(const std::vector<std::string>& leftovers)
{
    // A socket rather than a pipe: a word to a watchdog that was killed must not end this
    // program with SIGPIPE.
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        throw std::runtime_error(std::string("cannot watch the office process: ") + std::strerror(errno));
    std::vector<std::string> argv{"/bin/sh", "-c", kWatchdogScript, "tabwright-watchdog",
                                  std::to_string(group_)};
    argv.insert(argv.end(), leftovers.begin(), leftovers.end());
    try {
        watchdogProcess_ = spawnGroup(argv, environmentWith({}), ends[0]);
    } catch (...) {
        ::close(ends[0]);
        ::close(ends[1]);
        throw;
    }
    ::close(ends[0]);
    watchdog_ = ends[1];
}

OfficeProcess::~OfficeProcess()
{
    // A process not let go stays watched: the watchdog ends it with this program.
    reap();
}

void OfficeProcess::letGo()
{
    dismissWatchdog("go\n");
}

void OfficeProcess::leaveToUser()
{
    dismissWatchdog("user\n");
}

void OfficeProcess::dismissWatchdog(std::string_view word)
{
    if (watchdog_ < 0)
        return;
    [[maybe_unused]] const ssize_t written = ::send(watchdog_, word.data(), word.size(), MSG_NOSIGNAL);
    ::close(watchdog_);
    watchdog_ = -1;
    // It leaves at once on that line (a waiter it starts is its own child, not ours).
    waitpid(watchdogProcess_, nullptr, 0);
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
