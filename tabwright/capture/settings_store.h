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
    // The value as the store holds it, for values that are not single-byte text, such as
    // folder names: UTF-8, and a value the store would split into a list (a comma in an
    // INI file) kept whole. By default the same as read().
    virtual std::optional<std::string> readRaw(std::string_view application, std::string_view section,
                                               std::string_view key) const
    {
        return read(application, section, key);
    }
    virtual void write(std::string_view application, std::string_view section, std::string_view key,
                       std::string_view value) = 0;
};

}  // namespace tabwright
