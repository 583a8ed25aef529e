#include "logfetch/convert/lastbin_cfg.h"

#include <optional>

#include "common/core/cfg_file.h"
#include "common/core/path_text.h"

namespace logfetch {

std::string readLastBinFile(std::string_view programFolder)
{
    return common::readCfgFile(common::joinPath(programFolder, kLastBinCfgName)).value_or(std::string());
}

bool writeLastBinFile(std::string_view programFolder, std::string_view binPath)
{
    return common::writeCfgFile(common::joinPath(programFolder, kLastBinCfgName), binPath);
}

}  // namespace logfetch
