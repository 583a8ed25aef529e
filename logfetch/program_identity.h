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
inline std::string versionNumber(const ProgramVersion& version = kProgramVersion)
{
    std::string number = std::to_string(version.major);
    number.append(1, '.').append(std::to_string(version.minor));
    if (version.revision != 0)
        number.append(1, '.').append(std::to_string(version.revision));
    return number;
}

// "Version 2.1", as the caption and the About box show it.
inline std::string versionText(const ProgramVersion& version = kProgramVersion)
{
    return std::string("Version ").append(versionNumber(version));
}

}  // namespace logfetch
