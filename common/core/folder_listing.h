#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace common {

// The names of the files in a folder, without the folder; sub-folders are
// not listed. A folder that is missing or cannot be read lists nothing.
std::vector<std::string> listFileNames(const std::string& folder);

// Whether the folder lists a file of that name in any letter case. A folder
// that cannot be listed holds none.
bool folderListsName(const std::string& folder, std::string_view name);

}  // namespace common
