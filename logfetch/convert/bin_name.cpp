#include "logfetch/convert/bin_name.h"

#include <algorithm>
#include <cctype>
#include <cstddef>

#include "common/core/letter_case.h"

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

namespace {

std::string_view withoutExtension(std::string_view binFileName)
{
    return binFileName.substr(0, binFileName.size() - std::min<std::size_t>(4, binFileName.size()));
}

}  // namespace

std::string lowerCasePrnName(std::string_view binFileName)
{
    return common::lowerCase(withoutExtension(binFileName)) + ".prn";
}

std::string reportBaseName(std::string_view binFileName)
{
    return common::upperCase(withoutExtension(binFileName));
}

}  // namespace logfetch
