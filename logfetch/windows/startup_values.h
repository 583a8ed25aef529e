#pragma once

#include <string>

#include "logfetch/convert/step_values.h"

namespace logfetch {

// What the main window prepares when it loads: gLastBinFile from
// "lastbin.cfg" in the program folder (empty when the file is missing), and
// the default report names gCsvFile and gPrnFile from it: the path without its
// last four characters, in capitals, with ".CSV" and ".PRN". A path shorter
// than four characters gives just ".CSV" and ".PRN".
void loadStartupValues(const std::string& programFolder, StepValues& values);

}  // namespace logfetch
