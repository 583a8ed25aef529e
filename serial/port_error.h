#pragma once

#include <stdexcept>
#include <string>

namespace serial {

// Why a port operation failed, told apart so that a window can say what to do.
enum class PortFailure {
    NoSuchDevice,      // no device behind the number, or the device is not there
    Busy,              // another program (or another port object) has it open
    PermissionDenied,  // the user may not open the device
    AlreadyOpen,       // open or a number change while the port is open
    NotOpen,           // an operation that needs an open port
    Lost,              // the device went away while the port was open
    Other,             // anything else the system reported
};

// The error every failing port operation throws (or, for Lost, reports).
// what() is a short technical description; hint() is the text a window shows
// beside its own fixed message, telling the user what to do.
class PortError : public std::runtime_error {
public:
    // device: the path behind the number, empty when there is none.
    // detail: the system's own description, if any.
    // mappingFile: the per-user file that maps numbers to devices.
    PortError(PortFailure kind, int portNumber, std::string device, std::string detail,
              std::string mappingFile);

    PortFailure kind() const { return kind_; }
    int portNumber() const { return portNumber_; }
    const std::string& device() const { return device_; }
    // "COM3 (/dev/ttyUSB0)", or "COM3" when no device is known.
    std::string portAndDevice() const;
    std::string hint() const;

private:
    PortFailure kind_;
    int portNumber_;
    std::string device_;
    std::string detail_;
    std::string mappingFile_;
};

}  // namespace serial
