#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "serial/serial_port.h"

namespace logfetch {

// The COM number a download uses from its port text: the number at the start
// of the text (spaces before it allowed), fractions to the nearest whole
// number, 0 when the text starts with no number.
int portNumberAtStart(std::string_view portText);

// "Error: COM port #" + port text + " is not available.  Please change and try again."
std::string portNotAvailableMessage(std::string_view portText);

// Opens the port a download runs on and clears its buffers. On failure the
// port is closed and the result is the message to show: the fixed text
// naming the port as written, a line end, and what the serial service found.
std::optional<std::string> openDownloadPort(serial::SerialPort& port, std::string_view portText);

}  // namespace logfetch
