#include "logfetch/shell/program_identity.h"

namespace logfetch {

std::string versionText(const ProgramVersion& version)
{
    std::string text("Version ");
    text.append(std::to_string(version.major)).append(1, '.').append(std::to_string(version.minor));
    if (version.revision != 0)
        text.append(1, '.').append(std::to_string(version.revision));
    return text;
}

}  // namespace logfetch
