#include "logfetch/download/download_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <array>
#include <cerrno>

namespace logfetch {

namespace {

std::string readHolder(int descriptor)
{
    std::array<char, 512> buffer{};
    const ssize_t length = ::pread(descriptor, buffer.data(), buffer.size(), 0);
    return length > 0 ? std::string(buffer.data(), static_cast<std::size_t>(length)) : std::string();
}

void writeHolder(int descriptor, const std::string& holder)
{
    if (::ftruncate(descriptor, 0) == 0) [[maybe_unused]]
        const ssize_t ignored = ::pwrite(descriptor, holder.data(), holder.size(), 0);
}

}  // namespace

DownloadLock::DownloadLock(std::string tempFilePath) : tempFilePath_(std::move(tempFilePath)) {}

DownloadLock::~DownloadLock()
{
    if (descriptor_ >= 0)
        ::close(descriptor_);  // drops the lock
}

std::string DownloadLock::lockFilePath(const std::string& tempFilePath)
{
    return tempFilePath + ".lock";
}

std::optional<std::string> DownloadLock::take(std::string_view holder)
{
    if (descriptor_ >= 0)
        return std::nullopt;
    const int descriptor = ::open(lockFilePath(tempFilePath_).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (descriptor < 0)
        return std::nullopt;
    if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        std::string running = error == EWOULDBLOCK ? readHolder(descriptor) : std::string();
        ::close(descriptor);
        if (error != EWOULDBLOCK)
            return std::nullopt;
        if (running.empty())
            running = "another download";
        return "Another download is running: " + running + ". It receives into " + tempFilePath_ +
               ", which this download would overwrite.\r\nWait until it has ended, then start this one "
               "again.";
    }
    descriptor_ = descriptor;
    writeHolder(descriptor_, std::string(holder) + " (process " + std::to_string(::getpid()) + ")");
    return std::nullopt;
}

}  // namespace logfetch
