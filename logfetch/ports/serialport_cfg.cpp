#include "logfetch/ports/serialport_cfg.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <optional>

#include "common/core/cfg_file.h"
#include "common/core/path_text.h"

namespace logfetch {

std::string serialPortCfgPath(std::string_view programFolder)
{
    return common::joinPath(programFolder, kSerialPortCfgName);
}

std::string readPortText(std::string_view programFolder)
{
    std::string text = common::readCfgFile(serialPortCfgPath(programFolder)).value_or(std::string());
    return text.empty() ? std::string(kDefaultPortText) : text;
}

int portNumberAtStart(std::string_view text)
{
    std::size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t'))
        ++at;
    double sign = 1;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        sign = text[at++] == '-' ? -1 : 1;
    double number = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
        number = number * 10 + (text[at] - '0');
    if (at < text.size() && text[at] == '.') {
        double place = 0.1;
        for (++at; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at, place /= 10)
            number += (text[at] - '0') * place;
    }
    // Far beyond any port, but still a number the port can be given.
    constexpr double kLimit = std::numeric_limits<int>::max();
    return static_cast<int>(std::lround(std::clamp(sign * number, -kLimit, kLimit)));
}

bool writePortNumber(std::string_view programFolder, int number)
{
    return common::writeCfgFile(serialPortCfgPath(programFolder), std::to_string(number));
}

}  // namespace logfetch
