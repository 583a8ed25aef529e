#pragma once

#include <string>
#include <string_view>

namespace common {

// A message as a terminal shows it: the CR of each CR LF line break (which
// a message box wants) is left out, so lines end with a plain line feed.
inline std::string terminalText(std::string_view message)
{
    std::string text;
    text.reserve(message.size());
    for (char c : message)
        if (c != '\r')
            text += c;
    return text;
}

}  // namespace common
