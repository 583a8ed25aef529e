#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

namespace testing_support {

// A private X display (Xvfb) for tests that need a visible window of another program. While
// it lives, DISPLAY names it, so programs the test starts show their windows there; the
// display and DISPLAY's former value go with the object.
class VirtualDisplay {
public:
    // Throws std::runtime_error when Xvfb cannot be started.
    VirtualDisplay();
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    // Whether a window with exactly this title is on the display.
    bool hasWindowTitled(const std::string& title) const;

private:
    pid_t server_ = -1;
    std::string name_;
    std::optional<std::string> formerDisplay_;
};

}  // namespace testing_support
