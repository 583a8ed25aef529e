#pragma once

#include <optional>

#include "tabwright/capture/platform_version.h"

namespace tabwright {

// The running kernel's version, as uname reports it.
class KernelVersionQuery : public PlatformVersionQuery {
public:
    std::optional<PlatformVersion> platformVersion() const override;
};

}  // namespace tabwright
