#pragma once

#include <string>
#include <vector>

namespace logfetch {

// The names of the files in a folder, without the folder; sub-folders are
// not listed. A folder that is missing or cannot be read lists nothing.
std::vector<std::string> listFileNames(const std::string& folder);

}  // namespace logfetch
