#pragma once

#include <string>
#include <string_view>

namespace logfetch {

inline constexpr std::string_view kBinExtensionMessage = "Your filename must end in .BIN";

// The file-type filter of the dialogs that choose a .BIN (Open and Save).
inline constexpr std::string_view kBinFileFilter = "Binary File (*.BIN)|*.BIN|All File (*.*)|*.*";

// True when the name ends in ".BIN" in any letter case; a name shorter than
// that never does.
bool hasBinExtension(std::string_view fileName);

// The report name the conversion window looks for among a folder's files:
// the name without its last four characters, + ".prn", in lower case.
std::string lowerCasePrnName(std::string_view binFileName);

// The name the reports take, before ".PRN" and ".CSV": the name without its last four
// characters, in upper case (so "run.bin" and "RUN.BIN" share their reports).
std::string reportBaseName(std::string_view binFileName);

}  // namespace logfetch
