#pragma once

#include <functional>
#include <string>
#include <utility>

namespace tabwright {

// What the emulator window hands the capture, in memory. One object lives for the
// whole program; the emulator window writes it and the capture reads and empties
// it, both on the user-interface thread.
class EmulatorHandover {
public:
    // True while the emulator window is loaded: the capture then reads no port.
    bool EmulatorOpen() const { return emulatorOpen_; }
    void setEmulatorOpen(bool open) { emulatorOpen_ = open; }

    // The emulator's latest output, a one-slot mailbox: each output overwrites it.
    const std::string& PendingEmulatorOutput() const { return pendingOutput_; }
    void leaveOutput(std::string output) { pendingOutput_ = std::move(output); }
    // The pending output, leaving the mailbox empty.
    std::string takePendingOutput() { return std::exchange(pendingOutput_, {}); }

    // Mirror of the emulator's "Inject Single Tab" box.
    bool InjectSingleTab() const { return injectSingleTab_; }
    void setInjectSingleTab(bool inject) { injectSingleTab_ = inject; }
    // The capture used the option once: clears it and tells the window to clear its box.
    void clearInjectSingleTab();
    // The window's way to hear of that; an empty function removes it.
    void setInjectSingleTabClearedHandler(std::function<void()> handler)
    {
        injectSingleTabCleared_ = std::move(handler);
    }

private:
    bool emulatorOpen_ = false;
    std::string pendingOutput_;
    bool injectSingleTab_ = false;
    std::function<void()> injectSingleTabCleared_;
};

}  // namespace tabwright
