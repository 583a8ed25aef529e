#pragma once

#include <optional>
#include <string>

namespace common {

// Whether the folder of `filePath` takes a new file, as saving a file there
// needs: nothing when it does, else the system's reason ("No such file
// or directory", "Permission denied", "Read-only file system"). It makes and
// removes a small file, the one test that sees every cause, also for root.
std::optional<std::string> folderRefusesNewFiles(const std::string& filePath);

}  // namespace common
