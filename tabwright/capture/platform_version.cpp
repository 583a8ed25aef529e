#include "tabwright/capture/platform_version.h"

#include <limits>

#include "common/core/whole_number.h"

namespace tabwright {

namespace {

// Reads the decimal number at the start of text and drops it from text.
std::optional<int> takeNumber(std::string_view& text)
{
    const std::optional<long long> number = common::takeLeadingWholeNumber(
        text, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    if (!number)
        return std::nullopt;
    return static_cast<int>(*number);
}

}  // namespace

std::optional<PlatformVersion> parseKernelRelease(std::string_view release)
{
    const std::optional<int> major = takeNumber(release);
    if (!major || release.empty() || release.front() != '.')
        return std::nullopt;
    release.remove_prefix(1);
    const std::optional<int> minor = takeNumber(release);
    if (!minor)
        return std::nullopt;
    return PlatformVersion{*major, *minor};
}

}  // namespace tabwright
