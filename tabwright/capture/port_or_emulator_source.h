#pragma once

#include <functional>
#include <string>
#include <utility>

#include "tabwright/capture/emulator_source.h"
#include "tabwright/capture/text_source.h"

namespace tabwright {

// The main window's text: the port is opened, closed and watched as always, but while the
// emulator is open (its window loaded) the port is not read and the emulator's output is
// taken instead. The emulator may open and close at any time during a run.
class PortOrEmulatorSource final : public TextSource {
public:
    PortOrEmulatorSource(TextSource& port, EmulatorSource& emulator) : port_(port), emulator_(emulator) {}

    void open() override { port_.open(); }
    bool isOpen() const override { return port_.isOpen(); }
    void close() override { port_.close(); }
    std::string takePendingText() override
    {
        return emulator_.isOpen() ? emulator_.takePendingText() : port_.takePendingText();
    }
    void setLinkLostHandler(std::function<void()> handler) override
    {
        port_.setLinkLostHandler(std::move(handler));
    }

private:
    TextSource& port_;
    EmulatorSource& emulator_;
};

}  // namespace tabwright
