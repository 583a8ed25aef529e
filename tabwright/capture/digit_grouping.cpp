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

std::string countOf(std::int64_t count, std::string_view noun)
{
    const std::uint64_t shown = count > 0 ? static_cast<std::uint64_t>(count) : 0;
    return groupedDigits(shown) + " " + std::string(noun) + (shown == 1 ? "" : "s");
}

}  // namespace tabwright
