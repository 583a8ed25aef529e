#include "logfetch/common/folder_listing.h"

#include <filesystem>

namespace logfetch {

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

}  // namespace logfetch
