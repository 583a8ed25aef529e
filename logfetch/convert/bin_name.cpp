#include "logfetch/convert/bin_name.h"

#include <cctype>

namespace logfetch {

bool hasBinExtension(std::string_view fileName)
{
    constexpr std::string_view kExtension = ".BIN";
    if (fileName.size() < kExtension.size())
        return false;
    const std::string_view tail = fileName.substr(fileName.size() - kExtension.size());
    for (std::size_t i = 0; i < kExtension.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(tail[i])) != kExtension[i])
            return false;
    return true;
}

}  // namespace logfetch
