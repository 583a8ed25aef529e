#include "tabwright/cli/terminal_run_view.h"

#include "tabwright/capture/incoming_text.h"

namespace tabwright {

namespace {

// The reason as the command line tells it: it has no Resume, a lost port ends the capture.
// The lost port's reason stays in the pictures after it (Stop's), so it is told once.
std::string_view terminalReason(const RunPicture& picture)
{
    std::string_view reason = picture.reason;
    if (reason.ends_with(kPressResumeAdvice))
        reason.remove_suffix(kPressResumeAdvice.size());
    return reason;
}

}  // namespace

void TerminalRunView::showRun(const RunPicture& picture)
{
    if (picture.bytesReceived)
        showBytesReceived(*picture.bytesReceived);
    else if (picture.path.empty())
        showStatus(picture.status, terminalReason(picture));
    else
        showStatus(picture.status + " " + picture.path, terminalReason(picture));
}

void TerminalRunView::showBytesReceived(std::int64_t count)
{
    bytesReceived_ = count;
    const auto now = std::chrono::steady_clock::now();
    if (now - lastCountShown_ < std::chrono::seconds(1))
        return;
    lastCountShown_ = now;
    err_ << bytesReceivedText(count) << '\n' << std::flush;
}

void TerminalRunView::showStatus(std::string_view text, std::string_view reason)
{
    if (text.empty() || (text == lastStatus_ && reason == lastReason_))
        return;
    lastStatus_ = text;
    lastReason_ = reason;
    err_ << text;
    if (!reason.empty())
        err_ << ": " << reason;
    err_ << '\n' << std::flush;
}

}  // namespace tabwright
