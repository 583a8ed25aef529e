#pragma once

#include <cstddef>
#include <string>
#include <utility>

#include "serial/background_read_port.h"
#include "tabwright/capture/capture_run.h"
#include "tabwright/capture/emulator_source.h"
#include "tabwright/files/ini_settings_store.h"
#include "tabwright/capture/platform_version.h"
#include "tabwright/capture/time_of_day.h"
#include "tabwright/files/kernel_version_query.h"
#include "tabwright/testing/headless_calc_factory.h"
#include "tabwright/windows/main_window.h"
#include "testing/port_mapping.h"
#include "testing/scripted_prompter.h"
#include "testing/temp_folder.h"
#include "testing/widgets/qt_application.h"

namespace testing_support {

// What the real main window needs to run on a headless Calc of its own: the real port
// (its number mapped by the user of this), settings, clock and a per-user data folder in
// `root`.
struct HeadlessCalcWindowParts {
    explicit HeadlessCalcWindowParts(std::string templateFolder)
        : spreadsheets(root, std::move(templateFolder))
    {
    }

    tabwright::MainWindowParts windowParts()
    {
        return {spreadsheets, port, handover, clock, settings, platform, prompter, root.file("data")};
    }

    QApplication& app = application();  // before the port and the window
    TemporaryPortMapping mapping;
    tabwright::IniSettingsStore settings;
    TempFolder root;
    HeadlessCalcFactory spreadsheets;
    serial::BackgroundReadPort port{static_cast<std::size_t>(tabwright::kPlentyOfText)};
    tabwright::EmulatorSource handover;
    tabwright::SystemTimeOfDay clock;
    tabwright::KernelVersionQuery platform;
    ScriptedPrompter prompter;
};

}  // namespace testing_support
