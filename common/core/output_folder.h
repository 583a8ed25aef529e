#pragma once

#include <optional>
#include <string>

namespace common {

// Whether the folder of `filePath` takes a new file, as saving a file there
// needs: nothing when it does, else the system's reason ("No such file
// or directory", "Permission denied", "Read-only file system"). It makes and
// removes a small file, the one test that sees every cause, also for root.
std::optional<std::string> folderRefusesNewFiles(const std::string& filePath);

// What is at `path` when something is there that is no regular file: "a folder", "a FIFO",
// "a socket", "a device"; nothing for a regular file or when nothing is there. A link is
// followed. Opening such a thing could wait without end (a FIFO) or read without end (a
// device), so a program that wants a file refuses it with this reason.
std::optional<std::string> nonRegularKind(const std::string& path);

// Why `filePath` cannot take a program's output: a folder, a FIFO, a socket or a block
// device there. A character device (/dev/null) is written as it is.
std::optional<std::string> outputRefusal(const std::string& filePath);

}  // namespace common
