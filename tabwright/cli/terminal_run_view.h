#pragma once

#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>

#include "tabwright/capture/run_view.h"

namespace tabwright {

// The run seen from a terminal: each new status text on its own line; the
// byte count at most once a second, and its last value kept for the summary.
// Lamps and buttons belong to the window and show nothing here.
class TerminalRunView : public RunView {
public:
    explicit TerminalRunView(std::ostream& err) : err_(err) {}

    void showBytesReceived(std::int64_t count) override;
    void showLamp(Lamp, LampColour) override {}
    void showStatus(std::string_view text) override;
    void enableButton(RunButton, bool) override {}
    void bringToFront(RunButton) override {}
    void bringWindowToFront() override {}

    std::int64_t bytesReceived() const { return bytesReceived_; }
    const std::string& lastStatus() const { return lastStatus_; }

private:
    std::ostream& err_;
    std::string lastStatus_;
    std::int64_t bytesReceived_ = 0;
    std::chrono::steady_clock::time_point lastCountShown_{};
};

}  // namespace tabwright
