#include "logfetch/download/serialport_cfg.h"

#include <charconv>

#include "logfetch/common/cfg_file.h"
#include "logfetch/common/path_text.h"
#include "serial/serial_port.h"

namespace logfetch {

std::string serialPortCfgPath(std::string_view programFolder)
{
    return joinPath(programFolder, kSerialPortCfgName);
}

std::string readPortText(std::string_view programFolder)
{
    std::string text = readCfgFile(serialPortCfgPath(programFolder)).value_or(std::string());
    return text.empty() ? std::string(kDefaultPortText) : text;
}

std::optional<int> portNumberOfText(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return std::nullopt;
    text = text.substr(first, text.find_last_not_of(' ') - first + 1);
    // from_chars would also take a leading minus sign.
    if (text.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    int number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    if (number < serial::kFirstPortNumber || number > serial::kLastPortNumber)
        return std::nullopt;
    return number;
}

bool writePortNumber(std::string_view programFolder, int number)
{
    return writeCfgFile(serialPortCfgPath(programFolder), std::to_string(number));
}

}  // namespace logfetch
