#include "logfetch/shell/startup_values.h"

#include "logfetch/common/lastbin_cfg.h"
#include "logfetch/common/letter_case.h"

namespace logfetch {

void loadStartupValues(const std::string& programFolder, StepValues& values)
{
    values.gLastBinFile = readLastBinFile(programFolder);
    const std::string& path = values.gLastBinFile;
    const std::string base = path.size() < 4 ? std::string() : upperCase(path.substr(0, path.size() - 4));
    values.gCsvFile = base + ".CSV";
    values.gPrnFile = base + ".PRN";
}

}  // namespace logfetch
