#pragma once

#include <string_view>

namespace logfetch {

// Where a running download shows its progress: the download window's labels
// and list, or the terminal of an unattended download.
class DownloadView {
public:
    virtual ~DownloadView() = default;
    virtual void setInstructions(std::string_view text) = 0;  // lblInstructions
    virtual void setStatus(std::string_view text) = 0;        // lblStatus
    virtual void addTextLine(std::string_view line) = 0;      // a new entry of List1
};

}  // namespace logfetch
