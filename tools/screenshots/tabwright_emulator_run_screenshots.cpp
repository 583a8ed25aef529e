// Runs a capture through Tabwright's main window into a visible Calc, fed by the emulator
// window as a user would: "Emulator" from the Tools menu, Start, the K7RX for ten seconds,
// then the VQ-480 for ten seconds with "Inject Single Tab" checked once, Stop. Saves the main
// and emulator windows side by side while the run goes on, and the screen with Calc's filled
// cells after Stop; closing the main window at the end quits Calc. No serial port is mapped
// or opened: the emulator feeds the run as on a PC without one.
// Run it under a display server, for example
//   xvfb-run -a -s "-screen 0 1600x900x24" tabwright_emulator_run_screenshots OUTPUT_FOLDER
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include <chrono>
#include <iostream>
#include <stdexcept>
#include <string>

#include "serial/qt_serial_port.h"
#include "tabwright/files/ini_settings_store.h"
#include "tabwright/files/kernel_version_query.h"
#include "tabwright/testing/machine_choice.h"
#include "tabwright/windows/emulator_window_slot.h"
#include "tabwright/windows/main_window.h"
#include "testing/event_loop.h"
#include "testing/port_mapping.h"
#include "testing/scripted_prompter.h"
#include "testing/temp_folder.h"
#include "tools/screenshots/screen_picture.h"
#include "tools/screenshots/visible_calc_factory.h"

namespace {

using namespace std::chrono_literals;

using testing_support::chooseMachine;
using testing_support::namedControl;

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString output = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");

    testing_support::TemporaryPortMapping mapping;  // the settings' folder; no port is mapped

    tabwright::EmulatedInstruments instruments;
    tabwright::EmulatorSource handover;
    serial::QtSerialPort port;
    testing_support::VisibleCalcFactory spreadsheets;
    tabwright::SystemTimeOfDay clock;
    tabwright::IniSettingsStore settings;
    tabwright::KernelVersionQuery platform;
    testing_support::ScriptedPrompter prompter;
    tabwright::EmulatorWindowSlot emulator(instruments, handover, prompter);
    testing_support::TempFolder journals;
    tabwright::frmMain window(tabwright::MainWindowParts{spreadsheets, port, handover, clock, settings,
                                                         platform, prompter, journals.path()});
    emulator.attachTo(window);
    window.show();
    testing_support::runEventsFor(400ms);

    namedControl<QAction>(window, "mnuToolsDLREmulation").trigger();
    QWidget& emulatorWindow = *emulator.window();
    namedControl<QPushButton>(window, "cmdStart").click();
    if (window.run().state() != tabwright::RunState::Running) {
        std::cerr << "the capture did not start: "
                  << namedControl<QLabel>(window, "panStatus").text().toStdString() << '\n';
        window.close();
        return 1;
    }

    testing_support::runEventsFor(10s);
    chooseMachine(emulatorWindow, "VQ-480");
    // Late enough in the second block that no later block reaches the injected row.
    testing_support::runEventsFor(7500ms);
    namedControl<QCheckBox>(emulatorWindow, "chkInjectTab").click();
    testing_support::runEventsFor(2500ms);

    const QRect both = window.frameGeometry().united(emulatorWindow.frameGeometry());
    bool allSaved = testing_support::saveScreenPicture(
        window, both, output + QStringLiteral("/tabwright-emulator-run-windows.png"));

    namedControl<QPushButton>(window, "cmdStop").click();
    std::cout << "Inject Single Tab " << (handover.injectingSingleTab() ? "still set" : "used on one output")
              << '\n';
    // Calc lies under the two windows: out of the way while its cells are pictured.
    window.hide();
    emulatorWindow.hide();
    testing_support::runEventsFor(1500ms);
    allSaved &= testing_support::saveScreenPicture(
        window, window.screen()->geometry(), output + QStringLiteral("/tabwright-emulator-run-calc.png"));

    window.close();  // quits Calc and closes the emulator window
    return allSaved ? 0 : 1;
}
