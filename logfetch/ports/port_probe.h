#pragma once

#include <vector>

#include "serial/serial_port.h"

namespace logfetch {

// The port numbers from first to last, ascending, that can be opened now.
// Each is opened, checked and closed again on the given port; a number that
// fails (no device, in use by another program, not permitted) is left out
// without a word. The port is closed when this returns.
std::vector<int> openablePorts(serial::SerialPort& port, int first, int last);

}  // namespace logfetch
