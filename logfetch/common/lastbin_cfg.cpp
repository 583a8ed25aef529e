#include "logfetch/common/lastbin_cfg.h"

#include "logfetch/common/cfg_file.h"
#include "logfetch/common/path_text.h"

namespace logfetch {

std::string readLastBinFile(std::string_view programFolder)
{
    return readCfgFile(joinPath(programFolder, kLastBinCfgName)).value_or(std::string());
}

bool writeLastBinFile(std::string_view programFolder, std::string_view binPath)
{
    return writeCfgFile(joinPath(programFolder, kLastBinCfgName), binPath);
}

}  // namespace logfetch
