#include "tabwright/calc/running_processes.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <filesystem>
#include <system_error>

namespace tabwright {

namespace {

// The whole of a /proc file, or nothing when it cannot be read to its end (its process
// ended meanwhile, which a stream would report by throwing).
std::string wholeProcFile(const std::filesystem::path& path)
{
    const int file = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0)
        return {};
    std::string text;
    char piece[4096];
    for (;;) {
        const ssize_t count = ::read(file, piece, sizeof piece);
        if (count > 0) {
            text.append(piece, static_cast<std::size_t>(count));
        } else if (count == 0) {
            break;
        } else if (errno != EINTR) {
            text.clear();
            break;
        }
    }
    ::close(file);
    return text;
}

}  // namespace

std::vector<RunningProcess> runningProcesses()
{
    std::vector<RunningProcess> processes;
    std::error_code error;
    for (std::filesystem::directory_iterator entry("/proc", error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        pid_t id = 0;
        const auto [last, fault] = std::from_chars(name.data(), name.data() + name.size(), id);
        if (fault != std::errc() || last != name.data() + name.size())
            continue;
        std::string commandLine = wholeProcFile(entry->path() / "cmdline");
        if (!commandLine.empty())
            processes.push_back({id, std::move(commandLine)});
    }
    return processes;
}

}  // namespace tabwright
