#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tabwright {

// The folders a user lists as trusted for macros, and what was refused.
struct TrustedFolderList {
    std::vector<std::string> folders;
    // One sentence for each entry that was left out, and why.
    std::vector<std::string> warnings;
};

// Reads the TrustedFolders list: folders separated by ':', a comma being part of a name.
// "~" alone or at the start of an entry ("~/lab") stands for `home`. Only absolute folders
// are trusted: a relative entry (".", "..", "lab") would trust whatever folder the program
// happens to be started from, so it is refused with a warning, as is "~" without a home.
// Empty entries are passed over.
TrustedFolderList trustedFolderList(std::string_view list, std::string_view home);

}  // namespace tabwright
