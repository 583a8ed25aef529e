#pragma once

#include <optional>
#include <string>

namespace logfetch {

// Copies the temporary file to the target, replacing a file of that name.
// A regular target is replaced whole or not at all: the copy is written
// beside it and renamed over it, so a failed copy leaves the old file as it
// was. A target that is no regular file (a device, also behind a link) is
// written as it is, never renamed over. Nothing when saved; otherwise the
// system's reason ("No space left on device").
std::optional<std::string> copyDownload(const std::string& tempFilePath, const std::string& targetPath);

}  // namespace logfetch
