#include "tabwright/files/kernel_version_query.h"

#include <sys/utsname.h>

namespace tabwright {

std::optional<PlatformVersion> KernelVersionQuery::platformVersion() const
{
    utsname names{};
    if (uname(&names) != 0)
        return std::nullopt;
    return parseKernelRelease(names.release);
}

}  // namespace tabwright
