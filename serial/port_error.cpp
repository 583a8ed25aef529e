#include "serial/port_error.h"

#include "serial/serial_port.h"

namespace serial {

namespace {

std::string portName(int number)
{
    return "COM" + std::to_string(number);
}

// "COM3 (/dev/ttyUSB0)", or "COM3" when no device is known.
std::string describePort(int number, const std::string& device)
{
    return device.empty() ? portName(number) : portName(number) + " (" + device + ")";
}

std::string summary(PortFailure kind)
{
    switch (kind) {
    case PortFailure::NoSuchDevice:
        return "no such device";
    case PortFailure::Busy:
        return "in use by another program";
    case PortFailure::PermissionDenied:
        return "permission denied";
    case PortFailure::AlreadyOpen:
        return "already open";
    case PortFailure::NotOpen:
        return "not open";
    case PortFailure::Lost:
        return "device went away";
    case PortFailure::Other:
        break;
    }
    return "cannot be used";
}

std::string describe(PortFailure kind, int number, const std::string& device, const std::string& detail)
{
    std::string text = describePort(number, device) + ": " + summary(kind);
    if (!detail.empty())
        text += " (" + detail + ")";
    return text;
}

}  // namespace

PortError::PortError(PortFailure kind, int portNumber, std::string device, std::string detail,
                     std::string mappingFile)
    : std::runtime_error(describe(kind, portNumber, device, detail)),
      kind_(kind),
      portNumber_(portNumber),
      device_(std::move(device)),
      detail_(std::move(detail)),
      mappingFile_(std::move(mappingFile))
{
}

std::string PortError::portAndDevice() const
{
    return describePort(portNumber_, device_);
}

std::string PortError::hint() const
{
    const std::string port = portName(portNumber_);
    // No device can be named for a number outside the ports' range: the number itself is wrong.
    if (portNumber_ < kFirstPortNumber || portNumber_ > kLastPortNumber)
        return std::to_string(portNumber_) + " is not a COM port number: the ports are COM" +
               std::to_string(kFirstPortNumber) + " to COM" + std::to_string(kLastPortNumber) +
               ". Choose one of them for the port setting.";
    switch (kind_) {
    case PortFailure::NoSuchDevice:
        if (device_.empty())
            return "No serial device is connected as " + port +
                   ". Check that the instrument's cable or USB adapter is plugged in, or name the device "
                   "for " +
                   port + " in " + mappingFile_ + ".";
        return "The device " + device_ + " behind " + port +
               " is not there. Check that the cable or USB adapter is plugged in, or change " + port +
               " in " + mappingFile_ + ".";
    case PortFailure::Busy:
        return describePort(portNumber_, device_) +
               " is in use by another program. Close that program or its connection, then try again.";
    case PortFailure::PermissionDenied:
        return "You may not use " + describePort(portNumber_, device_) +
               ". Ask your administrator to add your user to the dialout group "
               "(sudo usermod -aG dialout $USER), then log out and in again.";
    case PortFailure::AlreadyOpen:
        return port + " is open already. Stop what uses it first.";
    case PortFailure::NotOpen:
        return port + " is not open.";
    case PortFailure::Lost:
        return "The connection on " + describePort(portNumber_, device_) +
               " was lost: the cable or USB adapter was unplugged or the device was switched off. "
               "Reconnect it and start again.";
    case PortFailure::Other:
        break;
    }
    return describePort(portNumber_, device_) + " could not be used" +
           (detail_.empty() ? "" : ": " + detail_) + ". Check the cable and the device, then try again.";
}

}  // namespace serial
