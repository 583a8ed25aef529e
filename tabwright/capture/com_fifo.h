#pragma once

#include "tabwright/capture/platform_version.h"
#include "tabwright/capture/settings_store.h"

namespace tabwright {

// Whether a platform of that version still needs its serial FIFO switched off
// in the settings store: versions below 3.12 do, 3.12 and later do not.
bool needsComFifoSetting(const PlatformVersion& version);

// The port-change step after every port choice: on a platform that needs it,
// stores "0" under application "System", section "386Enh", key "COM" + port +
// "FIFO" (COM2FIFO for port 2); elsewhere, and when the version cannot be
// read, nothing is written.
void DisableComFifo(int port, const PlatformVersionQuery& platform, SettingsStore& settings);

}  // namespace tabwright
