#include "logfetch/download/download_port.h"

#include <string>

#include "common/core/log_info.h"
#include "logfetch/download/download_log.h"
#include "logfetch/ports/serialport_cfg.h"

namespace logfetch {

namespace {

// The fixed text naming the port as saved, and a blank line before what follows.
std::string notAvailable(std::string_view portText)
{
    std::string message = "Error: COM port #";
    message.append(portText).append(" is not available.  Please change and try again.\r\n\r\n");
    return message;
}

// For a port text that names no port from 1 to 16 ("COM3"): what is wrong
// with the text and how to choose a port.
std::string notAPortNumberMessage(std::string_view portText)
{
    std::string message = notAvailable(portText);
    message.append("\"").append(portText).append(
        "\" is not a COM port number from 1 to 16. Choose the port in Serial Port Setup "
        "(or give it with logfetch download --port N).");
    return message;
}

}  // namespace

std::string portNotAvailableMessage(std::string_view portText, const serial::PortError& error)
{
    return notAvailable(portText) + error.hint();
}

std::optional<std::string> openDownloadPort(serial::SerialPort& port, std::string_view portText)
{
    // No device can stand behind such a number, and the serial service's
    // hint would name a port ("COM0") that cannot be set up either.
    const int number = portNumberAtStart(portText);
    if (number < serial::kFirstPortNumber || number > serial::kLastPortNumber)
        return notAPortNumberMessage(portText);
    try {
        port.setPortNumber(number);
        port.open();
        port.clearBuffers();
    } catch (const serial::PortError& error) {
        common::logInfo(downloadSerialLog(), std::string(portText) + ": " + error.what());
        port.close();
        return portNotAvailableMessage(portText, error);
    }
    return std::nullopt;
}

}  // namespace logfetch
