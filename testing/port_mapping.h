#pragma once

#include <optional>
#include <string>

#include "testing/temp_folder.h"

namespace testing_support {

// Points the per-user configuration folder (XDG_CONFIG_HOME) at a fresh
// temporary folder for the object's lifetime, so that tests write their own
// COM number mapping and never touch the user's. Restores the variable when it
// goes. One at a time per process.
class TemporaryPortMapping {
public:
    TemporaryPortMapping();
    ~TemporaryPortMapping();
    TemporaryPortMapping(const TemporaryPortMapping&) = delete;
    TemporaryPortMapping& operator=(const TemporaryPortMapping&) = delete;

    // COMnumber = device in the [Ports] section of the mapping file.
    void map(int number, const std::string& device);
    // Replaces the whole mapping file with text, as a user would write it.
    void writeFile(const std::string& text);
    // The temporary configuration folder.
    const std::string& configFolder() const { return folder_.path(); }

private:
    TempFolder folder_;
    std::optional<std::string> previous_;
};

}  // namespace testing_support
