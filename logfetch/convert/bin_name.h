#pragma once

#include <string_view>

namespace logfetch {

inline constexpr std::string_view kBinExtensionMessage = "Your filename must end in .BIN";

// True when the name ends in ".BIN" in any letter case; a name shorter than
// that never does.
bool hasBinExtension(std::string_view fileName);

}  // namespace logfetch
