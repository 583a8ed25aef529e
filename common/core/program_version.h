#pragma once

#include <string>

namespace common {

// A program's version: major, minor and revision.
struct ProgramVersion {
    int major;
    int minor;
    int revision;
};

// "2.1", or "2.1.7" when the revision is not 0.
inline std::string shortVersionNumber(const ProgramVersion& version)
{
    // Built by appending: GCC 12 warns falsely about a literal + string here.
    std::string number = std::to_string(version.major);
    number.append(1, '.').append(std::to_string(version.minor));
    if (version.revision != 0)
        number.append(1, '.').append(std::to_string(version.revision));
    return number;
}

// "1.0.0": all three numbers, joined by ".".
inline std::string fullVersionNumber(const ProgramVersion& version)
{
    std::string number = std::to_string(version.major);
    number.append(1, '.').append(std::to_string(version.minor));
    number.append(1, '.').append(std::to_string(version.revision));
    return number;
}

}  // namespace common
