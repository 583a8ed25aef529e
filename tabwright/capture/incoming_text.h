#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "tabwright/capture/capture_parser.h"
#include "tabwright/capture/text_source.h"

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

// Takes the text that arrived at `source` since the last call. Text taken is counted in
// the parser's BytesReceived and the count is shown.
std::string ReadIncomingText(TextSource& source, CaptureParser& parser, StatusLine& status);

}  // namespace tabwright
