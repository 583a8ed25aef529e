#include "tabwright/capture/program_identity.h"

namespace tabwright {

std::string versionNumber(const ProgramVersion& version)
{
    return std::to_string(version.major) + "." + std::to_string(version.minor) + "." +
           std::to_string(version.revision);
}

}  // namespace tabwright
