#include "testing/file_rights.h"

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <stdexcept>

namespace testing_support {

namespace {

constexpr unsigned kOverrideRights = (1U << CAP_DAC_OVERRIDE) | (1U << CAP_DAC_READ_SEARCH);

struct Capabilities {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
};

// Capabilities belong to a thread; pid 0 is the calling one.
Capabilities current()
{
    Capabilities caps;
    if (::syscall(SYS_capget, &caps.header, caps.data) != 0)
        throw std::runtime_error("cannot read the thread's capabilities");
    return caps;
}

bool apply(Capabilities& caps)
{
    return ::syscall(SYS_capset, &caps.header, caps.data) == 0;
}

}  // namespace

PermissionBitsHold::PermissionBitsHold()
{
    Capabilities caps = current();
    if ((caps.data[0].effective & kOverrideRights) == 0)
        return;
    caps.data[0].effective &= ~kOverrideRights;
    if (!apply(caps))
        throw std::runtime_error("cannot set aside the right to override permission bits");
    dropped_ = true;
}

PermissionBitsHold::~PermissionBitsHold()
{
    if (!dropped_)
        return;
    Capabilities caps = current();
    // Still permitted, so taking them back cannot fail.
    caps.data[0].effective |= kOverrideRights & caps.data[0].permitted;
    apply(caps);
}

}  // namespace testing_support
