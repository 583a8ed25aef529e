#pragma once

#include <cstdint>
#include <string>

namespace logfetch {

// The values Logfetch's windows hand each other while one step follows
// another. One object lives for the whole program; every window reads and
// writes it on the user-interface thread.
struct StepValues {
    enum StepMode : std::int16_t { DownloadOnly = 1, ConversionOnly = 2, AllSteps = 3 };

    std::int16_t gStepMode = 0;
    std::string gLastBinFile;  // full path of the last .BIN
    std::string gPrnFile;      // full paths of the reports of the last conversion
    std::string gCsvFile;
    std::string gOverwriteFile;       // path the overwrite question shows
    std::string gOverwriteAnswer;     // "Y" or "N": its last answer
    std::int32_t gBinFileLength = 0;  // progress of the running conversion
    std::int32_t gBinBytesRead = 0;
};

}  // namespace logfetch
