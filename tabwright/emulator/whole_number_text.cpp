#include "tabwright/emulator/whole_number_text.h"

#include <charconv>

namespace tabwright {

std::optional<std::int16_t> wholeNumber16(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return std::nullopt;
    text = text.substr(first, text.find_last_not_of(' ') - first + 1);
    // from_chars reads a "-" but no "+"; a "+" may not be followed by a "-".
    if (text.front() == '+') {
        text.remove_prefix(1);
        if (text.starts_with('-'))
            return std::nullopt;
    }
    std::int16_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

}  // namespace tabwright
