#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tabwright {

// "Bytes Received: " and the count (0 or more) with its digits grouped in thousands by
// `groupSeparator` (the locale's): "Bytes Received: 1,234,567".
std::string bytesReceivedText(std::int64_t count, std::string_view groupSeparator = ",");

}  // namespace tabwright
