#include "logfetch/ports/port_probe.h"

#include "serial/port_error.h"

namespace logfetch {

std::vector<int> openablePorts(serial::SerialPort& port, int first, int last)
{
    // A port left open by its owner cannot take another number: start closed.
    port.close();
    std::vector<int> openable;
    for (int number = first; number <= last; ++number) {
        try {
            port.setPortNumber(number);
            port.open();
        } catch (const serial::PortError&) {
            continue;
        }
        if (port.isOpen())
            openable.push_back(number);
        port.close();
    }
    return openable;
}

}  // namespace logfetch
