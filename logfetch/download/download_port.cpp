#include "logfetch/download/download_port.h"

#include "logfetch/ports/serialport_cfg.h"

namespace logfetch {

std::string portNotAvailableMessage(std::string_view portText, const serial::PortError& error)
{
    std::string message = "Error: COM port #";
    message.append(portText).append(" is not available.  Please change and try again.\r\n\r\n").append(error.hint());
    return message;
}

std::optional<std::string> openDownloadPort(serial::SerialPort& port, std::string_view portText)
{
    try {
        port.setPortNumber(portNumberAtStart(portText));
        port.open();
        port.clearBuffers();
    } catch (const serial::PortError& error) {
        port.close();
        return portNotAvailableMessage(portText, error);
    }
    return std::nullopt;
}

}  // namespace logfetch
