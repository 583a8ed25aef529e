#pragma once

#include <deque>
#include <functional>
#include <string>
#include <utility>

#include "tabwright/capture/text_source.h"

namespace tabwright {

// What a run is told when the emulator is closed while it reads it.
inline constexpr const char* kEmulatorClosedReason =
    "The emulator was closed while it fed the capture. Open the emulator again.";

// The emulator's text, handed over in memory. One object lives for the whole program; the
// emulator (its window, or the command line's emulated instrument) says its outputs into
// it and the capture takes them, both on the user-interface thread.
//
// The emulator is on while it speaks: its window turns it on when loaded and off when
// unloaded. A run opens the source at Start and closes it at Stop. While a run holds it
// open, every output is kept, in order, until the run takes it: nothing said between two
// takes is lost, paused or not. The run takes what is waiting at every tick, so the queue
// holds a tick's outputs (four lines a second) and needs no bound. While no run holds it
// open, an output replaces the one before: the latest output waits for the next run.
class EmulatorSource final : public TextSource {
public:
    EmulatorSource() = default;
    EmulatorSource(const EmulatorSource&) = delete;
    EmulatorSource& operator=(const EmulatorSource&) = delete;

    // The emulator itself.
    void turnOn();
    // A run that holds the source open loses its link (told while the emulator is still
    // on, so that the run takes what was said before); the source stays open for the run.
    void turnOff();
    bool isOn() const { return on_; }
    // Told after the emulator was turned on or off; an empty function removes it.
    void setSwitchedHandler(std::function<void()> handler) { switched_ = std::move(handler); }

    // A run reads the emulator from now on, the output left waiting included. Never throws;
    // a run holds it open while the emulator is off too and gets nothing new then.
    void open() override { open_ = true; }
    // Keeps every output from now on, as open does.
    void prepare() override { open_ = true; }
    bool isOpen() const override { return open_; }
    // The run no longer reads: from now on an output replaces the one before.
    void close() override { open_ = false; }
    // Every output waiting, oldest first, leaving none; with "Inject Single Tab" set, the
    // oldest becomes injectSingleTab(output) and the option is cleared. Empty while closed.
    std::string takePendingText() override;
    void setLinkLostHandler(std::function<void(const std::string&)> handler) override
    {
        linkLost_ = std::move(handler);
    }

    // One output of the emulated instrument.
    void say(std::string output);
    // What waits to be taken, oldest first.
    std::string pendingText() const;

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
    void switchTo(bool on);

    bool on_ = false;
    bool open_ = false;
    // One entry per output, so that the inject option acts on one output only.
    std::deque<std::string> outputs_;
    bool injectSingleTab_ = false;
    std::function<void()> injectSingleTabCleared_;
    std::function<void()> switched_;
    std::function<void(const std::string&)> linkLost_;
};

}  // namespace tabwright
