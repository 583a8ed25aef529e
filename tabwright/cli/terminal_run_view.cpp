#include "tabwright/cli/terminal_run_view.h"

#include "tabwright/capture/incoming_text.h"

namespace tabwright {

void TerminalRunView::showBytesReceived(std::int64_t count)
{
    bytesReceived_ = count;
    const auto now = std::chrono::steady_clock::now();
    if (now - lastCountShown_ < std::chrono::seconds(1))
        return;
    lastCountShown_ = now;
    err_ << bytesReceivedText(count) << '\n' << std::flush;
}

void TerminalRunView::showStatus(std::string_view text)
{
    if (text.empty() || text == lastStatus_)
        return;
    lastStatus_ = text;
    err_ << text << '\n' << std::flush;
}

}  // namespace tabwright
