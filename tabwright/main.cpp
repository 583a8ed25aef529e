#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QStandardPaths>

#include <cstdlib>
#include <iostream>
#include <string>

#include "common/core/single_byte_text.h"
#include "common/widgets/message_box_prompter.h"
#include "serial/qt_serial_port.h"
#include "tabwright/calc/calc_spreadsheet_factory.h"
#include "tabwright/capture/emulator_handover.h"
#include "tabwright/capture/ini_settings_store.h"
#include "tabwright/capture/platform_version.h"
#include "tabwright/capture/program_identity.h"
#include "tabwright/cli/command_line.h"
#include "tabwright/emulator/emulated_instruments.h"
#include "tabwright/windows/main_window.h"

namespace {

// The template of the source tree, so that the program finds it when run from its build.
#ifndef TABWRIGHT_SOURCE_DATA_DIR
#define TABWRIGHT_SOURCE_DATA_DIR ""
#endif

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

// The per-user data folder of the program (named by nameTheProgram), for the journals.
std::string journalDataFolder()
{
    return QFile::encodeName(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .toStdString();
}

// Main: the two emulated instruments, made and reset for the whole program, and the main
// window; the program ends when its last window closes.
int Main(int argc, char* argv[])
{
    if (!displayReachable()) {
        std::cerr << "tabwright: no display to open the window on (see tabwright --help)\n";
        return tabwright::kUsageError;
    }
    QApplication app(argc, argv);
    nameTheProgram();
    tabwright::EmulatedInstruments instruments;
    tabwright::EmulatorHandover handover;
    serial::QtSerialPort port;
    tabwright::CalcSpreadsheetFactory spreadsheets({TABWRIGHT_SOURCE_DATA_DIR});
    tabwright::SystemTimeOfDay clock;
    tabwright::IniSettingsStore settings;
    tabwright::KernelVersionQuery platform;
    common::MessageBoxPrompter prompter(common::fromBytes(tabwright::kProgramTitle));
    tabwright::frmMain window(tabwright::MainWindowParts{spreadsheets, port, handover, clock,
                                                         settings, platform, prompter,
                                                         journalDataFolder()});
    window.show();
    return QApplication::exec();
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc <= 1)
        return Main(argc, argv);

    QCoreApplication app(argc, argv);
    nameTheProgram();
    return tabwright::runCommandLine();
}
