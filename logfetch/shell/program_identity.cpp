#include "logfetch/shell/program_identity.h"

namespace logfetch {

std::string versionNumber(const ProgramVersion& version)
{
    std::string number = std::to_string(version.major);
    number.append(1, '.').append(std::to_string(version.minor));
    if (version.revision != 0)
        number.append(1, '.').append(std::to_string(version.revision));
    return number;
}

std::string versionText(const ProgramVersion& version)
{
    return std::string("Version ").append(versionNumber(version));
}

}  // namespace logfetch
