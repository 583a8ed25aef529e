#include "tabwright/capture/incoming_text.h"

#include "tabwright/capture/single_tab.h"

namespace tabwright {

std::string bytesReceivedText(std::int64_t count, std::string_view groupSeparator)
{
    const std::string digits = std::to_string(count);
    std::string text = "Bytes Received: ";
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            text += groupSeparator;
        text += digits[i];
    }
    return text;
}

namespace {

std::string takeEmulatorOutput(EmulatorHandover& handover)
{
    std::string output = handover.takePendingOutput();
    if (output.empty() || !handover.InjectSingleTab())
        return output;
    handover.clearInjectSingleTab();
    return injectSingleTab(output);
}

}  // namespace

std::string ReadIncomingText(serial::SerialPort& port, EmulatorHandover& handover, CaptureParser& parser,
                             StatusLine& status)
{
    std::string text = handover.EmulatorOpen() ? takeEmulatorOutput(handover) : port.takePendingText();
    if (!text.empty()) {
        parser.countReceived(text.size());
        status.showBytesReceived(parser.BytesReceived());
    }
    return text;
}

}  // namespace tabwright
