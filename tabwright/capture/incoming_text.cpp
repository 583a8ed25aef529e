#include "tabwright/capture/incoming_text.h"

#include "tabwright/capture/digit_grouping.h"

namespace tabwright {

std::string bytesReceivedText(std::int64_t count, std::string_view groupSeparator)
{
    return "Bytes Received: " + groupedDigits(static_cast<std::uint64_t>(count), groupSeparator);
}

}  // namespace tabwright
