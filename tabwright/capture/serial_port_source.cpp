#include "tabwright/capture/serial_port_source.h"

#include <exception>
#include <utility>

namespace tabwright {

void SerialPortSource::close()
{
    try {
        port_.close();
    } catch (const std::exception&) {
        // Closing is never refused; what went wrong does not matter any more.
    }
}

void SerialPortSource::setLinkLostHandler(std::function<void()> handler)
{
    if (!handler) {
        port_.setLinkLostHandler({});
        return;
    }
    port_.setLinkLostHandler([handler = std::move(handler)](const serial::PortError&) { handler(); });
}

}  // namespace tabwright
