#include "common/core/folder_listing.h"

#include <algorithm>
#include <filesystem>

#include "common/core/letter_case.h"

namespace common {

std::vector<std::string> listFileNames(const std::string& folder)
{
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        std::error_code typeError;
        if (!entry->is_directory(typeError))
            names.push_back(entry->path().filename().string());
    }
    return names;
}

bool folderListsName(const std::string& folder, std::string_view name)
{
    const std::string wanted = lowerCase(name);
    const std::vector<std::string> names = listFileNames(folder);
    return std::any_of(names.begin(), names.end(),
                       [&](const std::string& listed) { return lowerCase(listed) == wanted; });
}

}  // namespace common
