#include "tabwright/capture/port_or_emulator_source.h"

#include <utility>

namespace tabwright {

PortOrEmulatorSource::PortOrEmulatorSource(TextSource& port, EmulatorSource& emulator)
    : port_(port), emulator_(emulator)
{
}

PortOrEmulatorSource::~PortOrEmulatorSource()
{
    emulator_.setLinkLostHandler({});
    port_.setLinkLostHandler({});
    port_.setTextWaitingHandler({});
}

void PortOrEmulatorSource::open()
{
    if (!emulator_.isOn())
        port_.open();
    // Held open even while off: an emulator turned on during the run then keeps every
    // output for it from the first.
    emulator_.open();
}

bool PortOrEmulatorSource::isOpen() const
{
    return port_.isOpen() || (emulator_.isOn() && emulator_.isOpen());
}

void PortOrEmulatorSource::close()
{
    emulator_.close();
    port_.close();
}

std::string PortOrEmulatorSource::takePendingText()
{
    // The port is not read while the emulator is on; an output left waiting while the
    // emulator is off is taken when it is on again.
    return emulator_.isOn() ? emulator_.takePendingText() : port_.takePendingText();
}

void PortOrEmulatorSource::setLinkLostHandler(std::function<void(const std::string&)> handler)
{
    port_.setLinkLostHandler(handler);
    if (!handler) {
        emulator_.setLinkLostHandler({});
        return;
    }
    // A port that is open goes on feeding the run when the emulator is turned off.
    emulator_.setLinkLostHandler([this, handler = std::move(handler)](const std::string& reason) {
        if (!port_.isOpen())
            handler(reason);
    });
}

}  // namespace tabwright
