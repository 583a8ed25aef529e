#pragma once

#include <functional>
#include <string>
#include <utility>

#include "tabwright/capture/text_source.h"

namespace tabwright {

// The emulator's text, handed over in memory. One object lives for the whole program; the
// emulator window (or the command line's emulated instrument) writes it and the capture
// reads and empties it, both on the user-interface thread. It is open while the emulator
// speaks: the window opens it when loaded and closes it when unloaded.
class EmulatorSource final : public TextSource {
public:
    void open() override { open_ = true; }
    bool isOpen() const override { return open_; }
    void close() override { open_ = false; }
    // The pending output, leaving the mailbox empty; with "Inject Single Tab" set, the
    // output becomes injectSingleTab(output) and the option is cleared. Empty while closed.
    std::string takePendingText() override;
    // An emulator never goes away.
    void setLinkLostHandler(std::function<void()>) override {}

    // The emulator's latest output, a one-slot mailbox: each output overwrites it.
    const std::string& pendingOutput() const { return pendingOutput_; }
    void leaveOutput(std::string output) { pendingOutput_ = std::move(output); }

    // Mirror of the emulator's "Inject Single Tab" box.
    bool injectingSingleTab() const { return injectSingleTab_; }
    void setInjectSingleTab(bool inject) { injectSingleTab_ = inject; }
    // The capture used the option once: clears it and tells the window to clear its box.
    void clearInjectSingleTab();
    // The window's way to hear of that; an empty function removes it.
    void setInjectSingleTabClearedHandler(std::function<void()> handler)
    {
        injectSingleTabCleared_ = std::move(handler);
    }

private:
    bool open_ = false;
    std::string pendingOutput_;
    bool injectSingleTab_ = false;
    std::function<void()> injectSingleTabCleared_;
};

}  // namespace tabwright
