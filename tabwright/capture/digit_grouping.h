#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tabwright {

// A count (0 or more) with its digits grouped in thousands by `separator`: 1234567 as
// "1,234,567".
std::string groupedDigits(std::uint64_t count, std::string_view separator = ",");

}  // namespace tabwright
