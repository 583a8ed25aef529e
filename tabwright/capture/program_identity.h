#pragma once

#include <string>
#include <string_view>

#include "common/core/program_version.h"

namespace tabwright {

inline constexpr std::string_view kProgramTitle = "Tabwright";

using common::ProgramVersion;

inline constexpr ProgramVersion kProgramVersion{1, 0, 0};

// "1.0.0": major, minor and revision in plain decimal, joined by ".", as the
// main window's caption and the About box show them.
inline std::string versionNumber(const ProgramVersion& version = kProgramVersion)
{
    return common::fullVersionNumber(version);
}

}  // namespace tabwright
