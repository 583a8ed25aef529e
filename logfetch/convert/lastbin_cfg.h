#pragma once

#include <string>
#include <string_view>

namespace logfetch {

inline constexpr std::string_view kLastBinCfgName = "lastbin.cfg";

// The path of the last .BIN kept in "lastbin.cfg" in the program's folder;
// empty when the file is missing or unreadable.
std::string readLastBinFile(std::string_view programFolder);

// Writes "lastbin.cfg" afresh with the path. False when it could not be written.
bool writeLastBinFile(std::string_view programFolder, std::string_view binPath);

}  // namespace logfetch
