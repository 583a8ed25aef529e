#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace serial {

// A serial device as the system lists it.
struct SerialDevice {
    std::string path;           // as named: /dev/ttyUSB0, /dev/serial/by-id/..., a pty
    std::string canonicalPath;  // symbolic links resolved; equals path when it cannot be resolved
    std::string description;    // what the device says it is ("FT232R USB UART"), may be empty
    bool usb = false;           // a USB adapter or an ACM device
    bool exists = true;         // false for a mapped path that is not there now
};

// One COM number with the device behind it.
struct PortEntry {
    int number = 0;
    std::string device;
    std::string description;
    bool present = true;  // false for a mapped path that is not there now
};

// USB and ACM devices first, then the others (built-in ports); within each
// group by name, with numbers compared by value (ttyUSB2 before ttyUSB10).
std::vector<SerialDevice> orderDevices(std::vector<SerialDevice> devices);

// Numbers COM1 .. COM16: an explicit mapping wins for its number; the other
// numbers take, in ascending order, the present devices (in orderDevices
// order) that no explicit mapping names already. explicitMap values carry
// path, canonical path and whether the path exists; their description comes
// from the present device with the same canonical path.
std::vector<PortEntry> assignPortNumbers(const std::map<int, SerialDevice>& explicitMap,
                                         const std::vector<SerialDevice>& present);

// The device part of that line, for a dialog that shows the number itself:
// "/dev/ttyUSB0  FT232R USB UART", or "/dev/ttyUSB5  (not connected)".
std::string deviceLine(const PortEntry& entry);

// The line a dialog shows: "COM 1  /dev/ttyUSB0  FT232R USB UART".
std::string listingLine(const PortEntry& entry);

// The COM port number a typed text names: a whole decimal number from 1 to 16,
// surrounding spaces and leading zeros allowed. Nothing for any other text.
std::optional<int> portNumberOfText(std::string_view text);

}  // namespace serial
