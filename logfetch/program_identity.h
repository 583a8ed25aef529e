#pragma once

#include <string>
#include <string_view>

#include "common/core/program_version.h"

namespace logfetch {

inline constexpr std::string_view kProgramTitle = "Logfetch";

using common::ProgramVersion;

inline constexpr ProgramVersion kProgramVersion{2, 1, 0};

// "2.1": major and minor, and the revision only when it is not 0.
inline std::string versionNumber(const ProgramVersion& version = kProgramVersion)
{
    return common::shortVersionNumber(version);
}

// "Version 2.1", as the caption and the About box show it.
inline std::string versionText(const ProgramVersion& version = kProgramVersion)
{
    return std::string("Version ").append(versionNumber(version));
}

}  // namespace logfetch
