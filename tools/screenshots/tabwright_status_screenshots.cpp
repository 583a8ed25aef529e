// Shows Tabwright's main window on the display and saves pictures of what its keyboard and
// status line show: the Tools menu open with its mnemonics, a Start whose port is a missing
// by-id device (the whole reason wrapped under the status), the window after Stop keeping
// the run's figures and its working copy's path, and the file dialog of "Rebuild From
// Journal...". The spreadsheet is a recording one; the instrument a pseudo-terminal on COM 1.
// Run it under a display server with a window manager, so that titles show:
//   xvfb-run -a -s "-screen 0 1280x800x24" sh -c 'twm -f tools/screenshots/twmrc &
//     tabwright_status_screenshots OUTPUT_FOLDER'
#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

#include <chrono>
#include <string>

#include "serial/qt_serial_port.h"
#include "tabwright/capture/digit_grouping.h"
#include "tabwright/capture/ini_settings_store.h"
#include "tabwright/testing/k7rx_lines.h"
#include "tabwright/testing/recording_spreadsheet_factory.h"
#include "tabwright/windows/main_window.h"
#include "testing/event_loop.h"
#include "testing/port_mapping.h"
#include "testing/pty_instrument.h"
#include "testing/scripted_prompter.h"
#include "testing/temp_folder.h"
#include "tools/screenshots/screen_picture.h"

namespace {

using namespace std::chrono_literals;

bool pictureOf(const QWidget& widget, const QRect& area, const QString& path)
{
    testing_support::runEventsFor(400ms);
    return testing_support::saveScreenPicture(widget, area, path);
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString output = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    bool allSaved = true;

    testing_support::TemporaryPortMapping mapping;  // also the settings' folder
    testing_support::PtyInstrument instrument;
    mapping.map(1, "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K1234-if00-port0");

    testing_support::RecordingSpreadsheetFactory spreadsheets;
    spreadsheets.workingCopy =
        "/home/lab/.local/share/Tabwright/working copies/2026-12-09_10-41-07 fluorometer run.ods";
    serial::QtSerialPort port;
    tabwright::EmulatorSource handover;
    tabwright::SystemTimeOfDay clock;
    tabwright::IniSettingsStore settings;
    tabwright::KernelVersionQuery platform;
    testing_support::ScriptedPrompter prompter;
    testing_support::TempFolder data;
    tabwright::frmMain window(tabwright::MainWindowParts{spreadsheets, port, handover, clock, settings,
                                                         platform, prompter, data.path()});
    window.show();
    testing_support::runEventsFor(400ms);
    const auto click = [&](const char* name) {
        window.findChild<QPushButton*>(QString::fromLatin1(name))->click();
    };

    auto* tools = window.findChild<QMenu*>(QStringLiteral("mnuTools"));
    tools->popup(window.mapToGlobal(QPoint(0, 0)) + QPoint(0, 24));
    allSaved &= pictureOf(window, window.frameGeometry().united(tools->frameGeometry()),
                          output + "/tabwright-main-tools-menu.png");
    tools->close();

    click("cmdStart");
    allSaved &= pictureOf(window, window.frameGeometry(), output + "/tabwright-main-port-reason.png");

    mapping.map(1, instrument.devicePath());
    click("cmdStart");
    std::string lines;
    for (int index = 0; index < 400; ++index)
        lines += testing_support::k7rxLine(index);
    instrument.send(lines);
    const auto* status = window.findChild<QLabel*>(QStringLiteral("panStatus"));
    testing_support::runEventsUntil(
        [&] {
            return status->text().endsWith(QString::fromStdString(tabwright::groupedDigits(lines.size())));
        },
        20s);
    click("cmdStop");
    allSaved &= pictureOf(window, window.frameGeometry(), output + "/tabwright-main-stopped-summary.png");

    QTimer::singleShot(1500, &window, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            allSaved = false;
            return;
        }
        allSaved &= testing_support::saveScreenPicture(*dialog, dialog->frameGeometry(),
                                                       output + "/tabwright-rebuild-file-dialog.png");
        dialog->reject();
    });
    window.findChild<QAction*>(QStringLiteral("mnuToolsRebuildFromJournal"))->trigger();
    window.close();
    return allSaved ? 0 : 1;
}
