#include "common/core/output_folder.h"

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

}  // namespace common
