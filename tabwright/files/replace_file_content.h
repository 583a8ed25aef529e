#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tabwright {

// Replaces the file at `path` with `content`, whole or not at all: the content is written
// to a new file beside it, passed to the disk, and renamed over it, so a failure leaves an
// earlier file as it was and never a part-written one. A link is followed to its file. A
// path that names no regular file but a device (also behind a link) is written as it is.
// Throws std::runtime_error with the system's reason ("No space left on device").
void replaceFileContent(const std::string& path, std::string_view content);

// The same for a file that another writer makes: `write` is given the path of the new
// file beside the target (already created, empty) and fills it, throwing when it cannot;
// the file is then passed to the disk and renamed over the target, or removed after a
// failure. A device is given to `write` as it is.
void replaceFileBy(const std::string& path, const std::function<void(const std::string& file)>& write);

// Saves a new file as `path` without ever replacing one: `write` fills a new file beside
// it, which then takes `path`, or when a file has that name the next free one ("run-2.ods",
// "run-3.ods"...), each taken atomically so that two programs saving at once keep both
// files. Returns the name taken; throws std::runtime_error with the system's reason.
std::string claimFileBy(const std::string& path, const std::function<void(const std::string& file)>& write);

}  // namespace tabwright
