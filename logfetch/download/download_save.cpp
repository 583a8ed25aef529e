#include "logfetch/download/download_save.h"

#include <filesystem>

#include "common/core/letter_case.h"
#include "common/core/single_byte_text.h"
#include "logfetch/download/temp_file.h"

namespace logfetch {

common::SplitPath defaultSaveTarget(std::string_view programFolder)
{
    return {common::joinPath(programFolder, ""), std::string(kDefaultBinName)};
}

common::SplitPath proposedSaveTarget(std::string_view lastBinFile, std::string_view programFolder)
{
    return lastBinFile.empty() ? defaultSaveTarget(programFolder) : common::splitPath(lastBinFile);
}

bool isTheTempFile(const std::string& folder, std::string_view fileName, const std::string& programFolder)
{
    if (common::lowerCase(fileName) != kTempFileName)
        return false;
    std::error_code error;
    const bool same = std::filesystem::equivalent(folder, programFolder, error);
    if (!error)
        return same;
    return std::filesystem::weakly_canonical(folder, error) ==
           std::filesystem::weakly_canonical(programFolder, error);
}

}  // namespace logfetch
