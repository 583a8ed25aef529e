#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Whole files written and read back by tests, byte for byte.
namespace testing_support {

using Bytes = std::vector<std::uint8_t>;

// Replaces the file with `content`, creating its folder first; throws when it cannot.
void writeText(const std::string& path, std::string_view content);
void writeFile(const std::string& path, const Bytes& bytes);
// The file's bytes; throws when it cannot be read.
std::string readFile(const std::string& path);

}  // namespace testing_support
