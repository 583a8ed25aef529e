#pragma once

#include "tabwright/capture/settings_store.h"

namespace tabwright {

// The settings store as INI files in the user's configuration folder
// ($XDG_CONFIG_HOME, default ~/.config), one file per application name:
// APPLICATION/APPLICATION.ini, with the sections and keys as given. Values are
// single-byte text. Every call opens the file afresh, so a change of the
// configuration folder counts at once.
class IniSettingsStore : public SettingsStore {
public:
    // Where the values of that application are kept.
    static std::string fileOf(std::string_view application);

    std::optional<std::string> read(std::string_view application, std::string_view section,
                                    std::string_view key) const override;
    std::optional<std::string> readRaw(std::string_view application, std::string_view section,
                                       std::string_view key) const override;
    void write(std::string_view application, std::string_view section, std::string_view key,
               std::string_view value) override;
};

}  // namespace tabwright
