#pragma once

#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>

#include "tabwright/capture/run_view.h"

namespace tabwright {

// The run seen from a terminal: each new status text on its own line, followed by the
// reason when a step failed; the byte count at most once a second, and its last value
// kept for the summary.
// Lamps and buttons belong to the window and show nothing here.
class TerminalRunView : public RunView {
public:
    explicit TerminalRunView(std::ostream& err) : err_(err) {}

    void showRun(const RunPicture& picture) override;
    void bringWindowToFront() override {}

    std::int64_t bytesReceived() const { return bytesReceived_; }
    const std::string& lastStatus() const { return lastStatus_; }
    // Why the last step failed; empty when it did not.
    const std::string& lastReason() const { return lastReason_; }

private:
    void showBytesReceived(std::int64_t count);
    void showStatus(std::string_view text, std::string_view reason);

    std::ostream& err_;
    std::string lastStatus_;
    std::string lastReason_;
    std::int64_t bytesReceived_ = 0;
    std::chrono::steady_clock::time_point lastCountShown_{};
};

}  // namespace tabwright
