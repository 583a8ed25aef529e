#include "tabwright/capture/digit_grouping.h"

namespace tabwright {

std::string groupedDigits(std::uint64_t count, std::string_view separator)
{
    const std::string digits = std::to_string(count);
    std::string text;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            text += separator;
        text += digits[i];
    }
    return text;
}

}  // namespace tabwright
