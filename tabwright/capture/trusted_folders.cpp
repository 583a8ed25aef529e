#include "tabwright/capture/trusted_folders.h"

namespace tabwright {

namespace {

// The entry with a leading "~" replaced by `home`; as it is when it has none.
std::string withHome(std::string_view entry, std::string_view home)
{
    if (!home.empty() && (entry == "~" || entry.starts_with("~/")))
        return std::string(home) + std::string(entry.substr(1));
    return std::string(entry);
}

}  // namespace

TrustedFolderList trustedFolderList(std::string_view list, std::string_view home)
{
    TrustedFolderList trusted;
    while (!list.empty()) {
        const std::size_t colon = list.find(':');
        const std::string_view entry = list.substr(0, colon);
        list = colon == std::string_view::npos ? std::string_view() : list.substr(colon + 1);
        if (entry.empty())
            continue;
        std::string folder = withHome(entry, home);
        if (folder.starts_with('/'))
            trusted.folders.push_back(std::move(folder));
        else
            trusted.warnings.push_back("The TrustedFolders entry \"" + std::string(entry) +
                                       "\" is not an absolute folder and is not trusted.");
    }
    return trusted;
}

}  // namespace tabwright
