#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "common/core/path_text.h"
#include "logfetch/download/copy_download.h"

// The save step of a download: where it proposes to save, and the copy of the
// temporary file to the user's .BIN.
namespace logfetch {

// The name proposed when nothing else is known.
inline constexpr std::string_view kDefaultBinName = "Idatalog.bin";

// The program's folder with its separator, and "Idatalog.bin".
common::SplitPath defaultSaveTarget(std::string_view programFolder);

// The target first proposed: the last .BIN split at its last separator, or
// the default target when there is none.
common::SplitPath proposedSaveTarget(std::string_view lastBinFile, std::string_view programFolder);

// Whether folder + name is the temporary file itself: the program's folder
// (the same folder however written) and "~tempidl.bin" in any letter case.
bool isTheTempFile(const std::string& folder, std::string_view fileName, const std::string& programFolder);

}  // namespace logfetch
