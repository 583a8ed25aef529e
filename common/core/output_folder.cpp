#include "common/core/output_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace common {

std::optional<std::string> folderRefusesNewFiles(const std::string& filePath)
{
    const std::filesystem::path folder = std::filesystem::path(filePath).parent_path();
    std::string probe = (folder.empty() ? std::filesystem::path(".") : folder) / ".save-probe-XXXXXX";
    const int descriptor = ::mkstemp(probe.data());
    if (descriptor < 0)
        return std::string(std::strerror(errno));
    ::close(descriptor);
    ::unlink(probe.c_str());
    return std::nullopt;
}

std::optional<std::string> nonRegularKind(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || S_ISREG(info.st_mode))
        return std::nullopt;
    if (S_ISDIR(info.st_mode))
        return std::string("a folder");
    if (S_ISFIFO(info.st_mode))
        return std::string("a FIFO");
    if (S_ISSOCK(info.st_mode))
        return std::string("a socket");
    return std::string("a device");
}

std::optional<std::string> outputRefusal(const std::string& filePath)
{
    struct stat info {};
    if (::stat(filePath.c_str(), &info) == 0 && S_ISCHR(info.st_mode))
        return std::nullopt;
    if (const std::optional<std::string> kind = nonRegularKind(filePath))
        return "it is " + *kind + ", not a file";
    return std::nullopt;
}

}  // namespace common
