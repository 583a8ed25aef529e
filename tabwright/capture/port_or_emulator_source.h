#pragma once

#include <functional>
#include <string>

#include "tabwright/capture/emulator_source.h"
#include "tabwright/capture/text_source.h"

namespace tabwright {

// The main window's text: the emulator's while it is on, else the port's. Opening opens
// the port only while the emulator is off, so a run fed by the emulator needs no serial
// port at all. The emulator may be turned on and off at any time during a run:
// - a run that opened the port reads the emulator while it is on and the port again once
//   it is off (what reaches the port meanwhile waits in the port);
// - a run fed by the emulator alone loses its link when the emulator is turned off;
//   Resume opens the emulator, or the port when the emulator is still off.
class PortOrEmulatorSource final : public TextSource {
public:
    PortOrEmulatorSource(TextSource& port, EmulatorSource& emulator);
    ~PortOrEmulatorSource() override;
    PortOrEmulatorSource(const PortOrEmulatorSource&) = delete;
    PortOrEmulatorSource& operator=(const PortOrEmulatorSource&) = delete;

    // The emulator keeps what it says while the workbook opens.
    void prepare() override { emulator_.prepare(); }
    void open() override;
    bool isOpen() const override;
    void close() override;
    std::string takePendingText() override;
    void setLinkLostHandler(std::function<void(const std::string&)> handler) override;
    // The port's text waiting; the emulator's text comes at the run's own pace.
    void setTextWaitingHandler(const std::function<void()>& handler) override
    {
        port_.setTextWaitingHandler(handler);
    }

    // Whether the emulator feeds the run (or would feed the next Start).
    bool emulatorFeeds() const { return emulator_.isOn(); }

private:
    TextSource& port_;
    EmulatorSource& emulator_;
};

}  // namespace tabwright
