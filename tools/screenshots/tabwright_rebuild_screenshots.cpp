// Shows "Tools" > "Rebuild From Journal..." on the display: a capture into a visible Calc
// whose Calc is killed mid-run, then its journal rebuilt into a new Calc window, with the
// journal folder open beside it. The instrument is a pseudo-terminal on COM 1. Run it
// under a display server, for example
//   xvfb-run -a -s "-screen 0 1400x900x24" tabwright_rebuild_screenshots OUTPUT_FOLDER
#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>

#include "serial/qt_serial_port.h"
#include "tabwright/capture/emulator_source.h"
#include "tabwright/files/ini_settings_store.h"
#include "tabwright/files/kernel_version_query.h"
#include "tabwright/testing/k7rx_lines.h"
#include "tabwright/windows/main_window.h"
#include "testing/event_loop.h"
#include "testing/port_mapping.h"
#include "testing/pty_instrument.h"
#include "testing/scripted_prompter.h"
#include "testing/temp_folder.h"
#include "testing/widgets/scripted_file_dialog.h"
#include "tools/screenshots/screen_picture.h"
#include "tools/screenshots/visible_calc_factory.h"

using namespace std::chrono_literals;
using testing_support::k7rxLine;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString output = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    testing_support::TemporaryPortMapping mapping;
    testing_support::PtyInstrument instrument;
    mapping.map(1, instrument.devicePath());

    testing_support::VisibleCalcFactory spreadsheets;
    serial::QtSerialPort port;
    tabwright::EmulatorSource emulator;
    tabwright::SystemTimeOfDay clock;
    tabwright::IniSettingsStore settings;
    tabwright::KernelVersionQuery platform;
    testing_support::ScriptedPrompter prompter;
    testing_support::TempFolder data;
    tabwright::frmMain window(tabwright::MainWindowParts{spreadsheets, port, emulator, clock, settings,
                                                         platform, prompter, data.path()});
    testing_support::ScriptedFileDialog dialog;
    window.setJournalFileDialog(dialog);
    window.show();
    testing_support::runEventsFor(400ms);

    const auto click = [&](const char* name) {
        window.findChild<QPushButton*>(QString::fromLatin1(name))->click();
    };
    click("cmdStart");
    for (int index = 0; index < 8; ++index)
        instrument.send(k7rxLine(index));
    testing_support::runEventsFor(1500ms);
    ::kill(-spreadsheets.calc->processGroup(), SIGKILL);
    for (int index = 8; index < 24; ++index)
        instrument.send(k7rxLine(index));
    instrument.send("unfinished last line");
    testing_support::runEventsFor(1500ms);
    click("cmdStop");

    // The journal folder, as the user sees it beside the rebuilt workbook.
    QFileDialog folder(nullptr, QStringLiteral("Journal folder"),
                       QString::fromStdString(data.file("journal")));
    folder.setOption(QFileDialog::DontUseNativeDialog);
    folder.setViewMode(QFileDialog::Detail);
    folder.show();

    dialog.answers.push_back(window.run().journal().path());
    window.findChild<QAction*>(QStringLiteral("mnuToolsRebuildFromJournal"))->trigger();
    testing_support::runEventsFor(3000ms);
    // Calc fills the screen: the window and the folder go in front of it, side by side below.
    const QRect screen = window.screen()->geometry();
    window.move(screen.left() + 20, screen.bottom() - window.frameGeometry().height() - 60);
    folder.setGeometry(window.frameGeometry().right() + 20, screen.bottom() - 380, 700, 320);
    window.raise();
    folder.raise();
    testing_support::runEventsFor(500ms);
    const bool saved = testing_support::saveScreenPicture(window, window.screen()->geometry(),
                                                          output + "/tabwright-rebuild-from-journal.png");
    std::printf("%s\n",
                window.findChild<QLabel*>(QStringLiteral("panStatus"))->text().toLocal8Bit().constData());
    folder.close();
    if (window.rebuiltWorkbook().application)
        window.rebuiltWorkbook().application->quit();
    window.close();
    return saved ? 0 : 1;
}
