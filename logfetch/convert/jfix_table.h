#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace logfetch {

inline constexpr std::size_t kJfixCapacity = 601;

// Start-up probe of how single bytes survive a round trip through a file:
// writes codes 0-255 into "jfix.txt" in the program folder (codes above 128
// twice, overwriting an existing file from its start), reads the file back
// and returns the code of every byte read, as decimal text, for the main
// window's hidden list. At most kJfixCapacity bytes are taken. A folder that
// cannot be written or read gives fewer items, never an error.
std::vector<std::string> MakeJfixTable(const std::string& programFolder);

}  // namespace logfetch
