#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "serial/port_error.h"
#include "serial/serial_port.h"

namespace logfetch {

// The message when the saved port cannot be used: the fixed text naming the
// port exactly as saved, then, on lines of their own, what the serial service
// found and what to do about it.
std::string portNotAvailableMessage(std::string_view portText, const serial::PortError& error);

// Opens the port a saved port text names (its number at the start) and
// clears its buffers, as a download begins. Nothing when the port is ready;
// otherwise the port is closed and the message for the user is returned. A
// text whose number is no port from 1 to 16 ("COM3") is told as such.
std::optional<std::string> openDownloadPort(serial::SerialPort& port, std::string_view portText);

}  // namespace logfetch
