#pragma once

#include <optional>
#include <string_view>

namespace tabwright {

struct PlatformVersion {
    int major;
    int minor;
};

// Asks the platform which version it is.
class PlatformVersionQuery {
public:
    virtual ~PlatformVersionQuery() = default;
    // Nothing when the platform gives no version that can be read.
    virtual std::optional<PlatformVersion> platformVersion() const = 0;
};

// The major and minor numbers at the start of a kernel release text
// ("6.1.0-18-amd64" gives 6.1); nothing when it does not start "N.N".
std::optional<PlatformVersion> parseKernelRelease(std::string_view release);

}  // namespace tabwright
