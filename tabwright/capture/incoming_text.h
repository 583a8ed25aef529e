#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "serial/serial_port.h"
#include "tabwright/capture/capture_parser.h"
#include "tabwright/capture/emulator_handover.h"

namespace tabwright {

// The main window's status line, as far as the reading of text needs it.
class StatusLine {
public:
    virtual ~StatusLine() = default;
    // Shows bytesReceivedText(count, ...) and repaints at once.
    virtual void showBytesReceived(std::int64_t count) = 0;
};

// "Bytes Received: " and the count (0 or more) with its digits grouped in thousands by
// `groupSeparator` (the locale's): "Bytes Received: 1,234,567".
std::string bytesReceivedText(std::int64_t count, std::string_view groupSeparator = ",");

// Takes the text that arrived since the last call: what the serial port received,
// or, while the emulator window is open, the emulator's pending output (the port
// is then not read at all). With the emulator's "Inject Single Tab" option the
// output is replaced by injectSingleTab(output) and the option is cleared. Text
// taken is counted in the parser's BytesReceived and the count is shown.
std::string ReadIncomingText(serial::SerialPort& port, EmulatorHandover& handover, CaptureParser& parser,
                             StatusLine& status);

}  // namespace tabwright
