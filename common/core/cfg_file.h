#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace common {

// The first field of the file's first line; nothing when the file is missing
// or cannot be read.
std::optional<std::string> readCfgFile(const std::string& path);

// Replaces the file with one line holding the value (see fieldLine), ended by
// CR LF. False when the file could not be written whole.
bool writeCfgFile(const std::string& path, std::string_view value);

}  // namespace common
