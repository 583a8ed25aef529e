#include "logfetch/cli/terminal_download_report.h"

#include "common/core/terminal_text.h"

namespace logfetch {

void TerminalDownloadReport::setStatus(std::string_view text)
{
    // The final counts come as a message too, and go to out then.
    if (!isFinalCounts(text))
        showChanged(text, status_);
}

void TerminalDownloadReport::showMessage(std::string_view text)
{
    (isFinalCounts(text) ? out_ : err_) << common::terminalText(text) << std::endl;
}

void TerminalDownloadReport::showChanged(std::string_view text, std::string& last)
{
    if (text.empty() || text == last)
        return;
    last = text;
    err_ << text << std::endl;
}

}  // namespace logfetch
