#include "tabwright/files/serial_port_source.h"

#include <exception>
#include <utility>

namespace tabwright {

void SerialPortSource::open()
{
    try {
        port_.open();
    } catch (const serial::PortError& error) {
        throw SourceError(error.what(), error.hint());
    }
}

void SerialPortSource::close()
{
    try {
        port_.close();
    } catch (const std::exception&) {
        // Closing is never refused; what went wrong does not matter any more.
    }
}

void SerialPortSource::setLinkLostHandler(std::function<void(const std::string&)> handler)
{
    if (!handler) {
        port_.setLinkLostHandler({});
        return;
    }
    port_.setLinkLostHandler(
        [handler = std::move(handler)](const serial::PortError& error) { handler(lostPortReason(error)); });
}

std::string lostPortReason(const serial::PortError& error)
{
    return "The connection to " + error.portAndDevice() +
           " was lost: the cable or adapter was unplugged or the instrument was switched off. "
           "Reconnect it.";
}

}  // namespace tabwright
