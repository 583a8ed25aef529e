#pragma once

#include <optional>
#include <string_view>

namespace common {

// The number a whole text holds ("57", "-3", "+2.5", "1e3", blanks around allowed); empty
// when anything else is in it, and for infinities and NaN.
std::optional<double> parseNumber(std::string_view text);

}  // namespace common
