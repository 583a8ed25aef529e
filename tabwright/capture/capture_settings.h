#pragma once

#include <string>

#include "tabwright/capture/settings_store.h"

namespace tabwright {

// What the capture keeps between sessions, under the program's title in the settings store:
// "Communication"/"ComPort", "Excel Macro"/"Enable", "Excel Macro"/"Name" and
// "View"/"FollowNewestRow".
struct CaptureSettings {
    int comPort = 1;
    bool macroEnabled = false;
    std::string macroName;
    bool followNewestRow = true;
};

// The saved values; each one that is missing or cannot be read as its kind is its default
// (a port number must fit 16 bits; "True"/"False" in any case, or a number, for the macro).
CaptureSettings readCaptureSettings(const SettingsStore& store);
// Writes them all: the port in plain decimal, the options as "True" or "False".
void writeCaptureSettings(SettingsStore& store, const CaptureSettings& settings);

// "Macros"/"TrustedFolders" as the user wrote it, "" when there is none (see
// trustedFolderList). It is edited by hand only, so the program never writes it.
std::string readTrustedFolders(const SettingsStore& store);

}  // namespace tabwright
