#pragma once

#include <string>
#include <string_view>

namespace logfetch {

inline constexpr std::string_view kProgramTitle = "Logfetch";

struct ProgramVersion {
    int major;
    int minor;
    int revision;
};

inline constexpr ProgramVersion kProgramVersion{2, 1, 0};

// "2.1": major and minor, and the revision only when it is not 0.
std::string versionNumber(const ProgramVersion& version = kProgramVersion);

// "Version 2.1", as the caption and the About box show it.
std::string versionText(const ProgramVersion& version = kProgramVersion);

}  // namespace logfetch
