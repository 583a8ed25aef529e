#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tabwright {

// A count (0 or more) with its digits grouped in thousands by `separator`: 1234567 as
// "1,234,567".
std::string groupedDigits(std::uint64_t count, std::string_view separator = ",");

// A count of things with its digits grouped and `noun` in the plural unless it is 1:
// "1 row", "20,800 bytes". A negative count is shown as 0.
std::string countOf(std::int64_t count, std::string_view noun);

}  // namespace tabwright
