#pragma once

#include <string>
#include <string_view>

// Paths as the windows show them: a folder part that ends with the separator
// and a file name.
namespace common {

inline constexpr char kPathSeparator = '/';

// folder + name, with one separator between them unless the folder ends with one.
std::string joinPath(std::string_view folder, std::string_view name);

struct SplitPath {
    std::string folder;  // up to and including the last separator; empty when there is none
    std::string fileName;
};

SplitPath splitPath(std::string_view path);

}  // namespace common
