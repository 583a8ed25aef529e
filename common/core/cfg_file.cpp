#include "common/core/cfg_file.h"

#include <fstream>

#include "common/core/cfg_field.h"

namespace common {

std::optional<std::string> readCfgFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    std::string line;
    std::getline(file, line);
    if (file.bad())
        return std::nullopt;
    return firstField(line);
}

bool writeCfgFile(const std::string& path, std::string_view value)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << fieldLine(value) << "\r\n";
    file.close();
    return !file.fail();
}

}  // namespace common
