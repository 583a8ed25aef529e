#include "logfetch/download/download_port.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace logfetch {

int portNumberAtStart(std::string_view portText)
{
    const std::string text(portText);
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || !std::isfinite(value) || std::fabs(value) > 1e6)
        return 0;
    return static_cast<int>(std::lround(value));
}

std::string portNotAvailableMessage(std::string_view portText)
{
    return "Error: COM port #" + std::string(portText) + " is not available.  Please change and try again.";
}

std::optional<std::string> openDownloadPort(serial::SerialPort& port, std::string_view portText)
{
    try {
        port.setPortNumber(portNumberAtStart(portText));
        port.open();
        port.clearBuffers();
    } catch (const serial::PortError& error) {
        port.close();
        return portNotAvailableMessage(portText) + "\n" + error.hint();
    }
    return std::nullopt;
}

}  // namespace logfetch
