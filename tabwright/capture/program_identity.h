#pragma once

#include <string>
#include <string_view>

namespace tabwright {

inline constexpr std::string_view kProgramTitle = "Tabwright";

struct ProgramVersion {
    int major;
    int minor;
    int revision;
};

inline constexpr ProgramVersion kProgramVersion{1, 0, 0};

// "1.0.0": major, minor and revision in plain decimal, joined by ".", as the
// main window's caption and the About box show them.
std::string versionNumber(const ProgramVersion& version = kProgramVersion);

}  // namespace tabwright
