#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tabwright {

// The per-user settings store: text values addressed by application name,
// section and key.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // The value stored there, or nothing when there is none.
    virtual std::optional<std::string> read(std::string_view application, std::string_view section,
                                            std::string_view key) const = 0;
    virtual void write(std::string_view application, std::string_view section, std::string_view key,
                       std::string_view value) = 0;
};

}  // namespace tabwright
