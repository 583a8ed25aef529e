#include <QApplication>
#include <QCoreApplication>

#include <cstddef>
#include <cstdlib>
#include <iostream>
#include <string>

#include "common/core/command_line_usage.h"
#include "common/core/interrupt_signals.h"
#include "common/core/single_byte_text.h"
#include "common/widgets/chart_application.h"
#include "common/widgets/message_box_prompter.h"
#include "serial/background_read_port.h"
#include "tabwright/calc/calc_spreadsheet_factory.h"
#include "tabwright/capture/background_step.h"
#include "tabwright/capture/capture_run.h"
#include "tabwright/files/capture_journal.h"
#include "tabwright/capture/emulator_source.h"
#include "tabwright/files/ini_settings_store.h"
#include "tabwright/capture/platform_version.h"
#include "tabwright/capture/program_identity.h"
#include "tabwright/cli/command_line.h"
#include "tabwright/emulator/emulated_instruments.h"
#include "tabwright/files/kernel_version_query.h"
#include "tabwright/windows/emulator_window_slot.h"
#include "tabwright/windows/main_window.h"

namespace {

void nameTheProgram()
{
    QCoreApplication::setApplicationName(common::fromBytes(tabwright::kProgramTitle));
    QCoreApplication::setApplicationVersion(QString::fromStdString(tabwright::versionNumber()));
}

// Without a display there is no window to open; say so rather than letting the window
// system abort the program.
bool displayReachable()
{
    return std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr ||
           std::getenv("QT_QPA_PLATFORM") != nullptr;
}

// Main: the two emulated instruments, made and reset for the whole program, the main window
// and the emulator window it opens; the program ends when its last window closes.
int Main(int argc, char* argv[])
{
    if (!displayReachable()) {
        std::cerr << "tabwright: no display to open the window on (see tabwright --help)\n";
        return common::kUsageError;
    }
    QApplication app(argc, argv);
    nameTheProgram();
    tabwright::EmulatedInstruments instruments;
    tabwright::EmulatorSource handover;
    // Read on a thread of its own: a fast device is read while the window writes rows.
    serial::BackgroundReadPort port(static_cast<std::size_t>(tabwright::kPlentyOfText));
    tabwright::IniSettingsStore settings;
    tabwright::CalcSpreadsheetFactory spreadsheets(settings);
    tabwright::SystemTimeOfDay clock;
    tabwright::KernelVersionQuery platform;
    common::MessageBoxPrompter prompter(common::fromBytes(tabwright::kProgramTitle));
    tabwright::EmulatorWindowSlot emulator(instruments, handover, prompter);
    // Calc starts and quits in a thread of its own, so the window keeps answering.
    tabwright::ThreadStep slowSteps;
    tabwright::frmMain window(tabwright::MainWindowParts{spreadsheets, port, handover, clock, settings,
                                                         platform, prompter, tabwright::perUserDataFolder()});
    window.runSlowStepsWith(slowSteps);
    emulator.attachTo(window);
    // A TERM, HUP or Ctrl-C ends the program as Close does: a run open ends as Stop ends it,
    // macro included, and the settings are kept. A second one ends it at once.
    common::InterruptSignals interrupts;
    QObject::connect(&interrupts, &common::InterruptSignals::interrupted, &window, &QWidget::close);
    window.show();
    return QApplication::exec();
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc <= 1)
        return Main(argc, argv);

    const auto app = common::commandLineApplication(argc, argv);
    nameTheProgram();
    return tabwright::runCommandLine();
}
