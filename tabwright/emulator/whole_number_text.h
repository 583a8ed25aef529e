#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tabwright {

// The 16-bit whole number a box holds: optional blanks, an optional sign, one or
// more digits, optional blanks ("16", " -3 ", "+0042"). Anything else, and
// numbers outside -32768 .. 32767, give nothing: an empty box while the user
// retypes, "1.5", "12abc", "40000".
std::optional<std::int16_t> wholeNumber16(std::string_view text);

}  // namespace tabwright
