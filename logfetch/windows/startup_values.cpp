#include "logfetch/windows/startup_values.h"

#include "common/core/letter_case.h"
#include "logfetch/convert/lastbin_cfg.h"

namespace logfetch {

void loadStartupValues(const std::string& programFolder, StepValues& values)
{
    values.gLastBinFile = readLastBinFile(programFolder);
    const std::string& path = values.gLastBinFile;
    const std::string base =
        path.size() < 4 ? std::string() : common::upperCase(path.substr(0, path.size() - 4));
    values.gCsvFile = base + ".CSV";
    values.gPrnFile = base + ".PRN";
}

}  // namespace logfetch
