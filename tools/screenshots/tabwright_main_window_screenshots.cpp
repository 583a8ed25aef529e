// Shows Tabwright's main window on the display and saves pictures of it: its Tools menu
// with the mnemonics, stopped after a run (its figures and working copy kept), running with
// its byte count, after a Start whose spreadsheet would not open, after a Start whose port
// is a missing by-id device (the whole reason wrapped), the rebuild's file dialog,
// beside a visible Calc that a run is filling (its window following the newest row), the
// Calc windows of two runs, writing a backlog, stopped after its Calc was killed (the
// journal's path elided in the status line), and Calc left asking whether to save after
// Tabwright was closed. The instrument is a pseudo-terminal on COM 1. Run it under a
// display server with a window manager, so that the Calc windows show their titles:
//   xvfb-run -a -s "-screen 0 1280x800x24" sh -c 'twm -f tools/screenshots/twmrc &
//     tabwright_main_window_screenshots OUTPUT_FOLDER'
#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include <com/sun/star/awt/PosSize.hpp>
#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/frame/XFrames.hpp>
#include <com/sun/star/frame/XFramesSupplier.hpp>

#include "serial/qt_serial_port.h"
#include "tabwright/capture/incoming_text.h"
#include "tabwright/files/ini_settings_store.h"
#include "tabwright/files/kernel_version_query.h"
#include "tabwright/testing/calc_user_side.h"
#include "tabwright/testing/k7rx_lines.h"
#include "tabwright/testing/recording_spreadsheet_factory.h"
#include "tabwright/windows/main_window.h"
#include "testing/event_loop.h"
#include "testing/port_mapping.h"
#include "testing/pty_instrument.h"
#include "testing/scripted_prompter.h"
#include "testing/temp_folder.h"
#include "tools/screenshots/screen_picture.h"
#include "tools/screenshots/visible_calc_factory.h"

namespace {

using namespace std::chrono_literals;
using testing_support::k7rxLine;

// Moves the first window of the Calc instance on `pipe`.
void moveFirstWindow(const std::string& pipe, int x, int y)
{
    testing_support::CalcUserSide user(pipe);
    css::frame::XFramesSupplier& frames = user.desktop();
    const css::uno::Reference<css::frame::XFrame> frame(frames.getFrames()->getByIndex(0),
                                                        css::uno::UNO_QUERY_THROW);
    frame->getContainerWindow()->setPosSize(x, y, 0, 0, css::awt::PosSize::POS);
}

class Session {
public:
    Session(tabwright::SpreadsheetFactory& spreadsheets, const QString& output)
        : output_(output),
          window_(tabwright::MainWindowParts{spreadsheets, port_, handover_, clock_, settings_, platform_,
                                             prompter_, data_.path()})
    {
        window_.show();
        testing_support::runEventsFor(400ms);
    }
    ~Session() { window_.close(); }

    void close() { window_.close(); }
    void click(const char* name) { window_.findChild<QPushButton*>(QString::fromLatin1(name))->click(); }
    void waitForStatus(const QString& text)
    {
        const auto* status = window_.findChild<QLabel*>(QStringLiteral("panStatus"));
        testing_support::runEventsUntil([&] { return status->text() == text; }, 20s);
    }
    void waitForStatusStartingWith(const QString& text)
    {
        const auto* status = window_.findChild<QLabel*>(QStringLiteral("panStatus"));
        testing_support::runEventsUntil([&] { return status->text().startsWith(text); }, 60s);
    }
    bool picture(const char* name)
    {
        testing_support::runEventsFor(300ms);
        return testing_support::saveScreenPicture(window_, window_.frameGeometry(),
                                                  output_ + "/" + QString::fromLatin1(name));
    }
    // The window with its menu `menu` open.
    bool pictureOfMenu(const char* menu, const char* name)
    {
        auto* shown = window_.findChild<QMenu*>(QString::fromLatin1(menu));
        shown->popup(window_.mapToGlobal(QPoint(0, 0)));
        testing_support::runEventsFor(300ms);
        const bool saved = testing_support::saveScreenPicture(
            window_, window_.frameGeometry().united(shown->frameGeometry()),
            output_ + "/" + QString::fromLatin1(name));
        shown->close();
        return saved;
    }
    // The modal file dialog the menu entry `entry` opens, then cancelled.
    bool pictureOfFileDialog(const char* entry, const char* name)
    {
        bool saved = false;
        // Centred on the window, the dialog's title bar would be above the screen's top.
        QTimer::singleShot(1000, &window_, [] {
            if (QWidget* dialog = QApplication::activeModalWidget())
                dialog->move(40, 60);
        });
        QTimer::singleShot(2000, &window_, [&] {
            if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
                saved = testing_support::saveScreenPicture(*dialog, testing_support::withTitleBar(*dialog),
                                                           output_ + "/" + QString::fromLatin1(name));
                dialog->reject();
            }
        });
        window_.findChild<QAction*>(QString::fromLatin1(entry))->trigger();
        return saved;
    }
    bool pictureOfScreen(const char* name)
    {
        testing_support::runEventsFor(300ms);
        return testing_support::saveScreenPicture(window_, window_.screen()->geometry(),
                                                  output_ + "/" + QString::fromLatin1(name));
    }

private:
    QString output_;
    serial::QtSerialPort port_;
    tabwright::EmulatorSource handover_;
    tabwright::SystemTimeOfDay clock_;
    tabwright::IniSettingsStore settings_;
    tabwright::KernelVersionQuery platform_;
    testing_support::ScriptedPrompter prompter_;
    testing_support::TempFolder data_;
    tabwright::frmMain window_;
};

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString output = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    bool allSaved = true;

    testing_support::TemporaryPortMapping mapping;  // also the settings' folder
    testing_support::PtyInstrument instrument;
    mapping.map(1, instrument.devicePath());

    {
        testing_support::RecordingSpreadsheetFactory spreadsheets;
        spreadsheets.workingCopy = "/home/lab/.local/share/Tabwright/working copies/2026-12-09_10-41-07.ods";
        Session session(spreadsheets, output);
        allSaved &= session.pictureOfMenu("mnuTools", "tabwright-main-tools-menu.png");
        session.click("cmdStart");
        std::string lines;
        for (int index = 0; index < 25; ++index)
            lines += k7rxLine(index);
        instrument.send(lines);
        session.waitForStatus(
            QString::fromStdString(tabwright::bytesReceivedText(static_cast<std::int64_t>(lines.size()))));
        allSaved &= session.picture("tabwright-main-running.png");
        session.click("cmdStop");
        allSaved &= session.picture("tabwright-main-stopped.png");
        allSaved &=
            session.pictureOfFileDialog("mnuToolsRebuildFromJournal", "tabwright-rebuild-file-dialog.png");
        spreadsheets.failMaking = true;
        session.click("cmdStart");
        allSaved &= session.picture("tabwright-main-spreadsheet-failed.png");
        // A port mapped to an adapter that is not plugged in: the advice is shown whole.
        spreadsheets.failMaking = false;
        mapping.map(1, "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K1234-if00-port0");
        session.click("cmdStart");
        allSaved &= session.picture("tabwright-main-port-reason.png");
        mapping.map(1, instrument.devicePath());
    }
    {
        // A pause of a few minutes at full speed: the backlog is written in slices.
        testing_support::RecordingSpreadsheetFactory spreadsheets;
        Session session(spreadsheets, output);
        session.click("cmdStart");
        session.click("cmdPause");
        std::string backlog;
        for (int index = 0; backlog.size() < 4'000'000; ++index)
            backlog += k7rxLine(index % 10000);
        for (std::string_view rest = backlog; !rest.empty();) {
            rest.remove_prefix(instrument.trySend(rest));
            testing_support::runEventsFor(2ms);
        }
        testing_support::runEventsUntil([&] { return instrument.waitingForProgram() == 0; }, 20s);
        session.click("cmdResume");
        session.waitForStatusStartingWith(QStringLiteral("Writing received lines: "));
        allSaved &= session.picture("tabwright-main-draining.png");
        session.click("cmdStop");
    }
    {
        // More rows than Calc's window shows: it follows the newest one.
        testing_support::VisibleCalcFactory spreadsheets;
        Session session(spreadsheets, output);
        session.click("cmdStart");
        for (int index = 0; index < 70; ++index) {
            instrument.send(k7rxLine(index));
            testing_support::runEventsFor(60ms);
        }
        testing_support::runEventsFor(1500ms);
        allSaved &= session.pictureOfScreen("tabwright-main-beside-calc.png");
        session.click("cmdStop");
        // A second run opens a Calc of its own, titled after its start; it is moved down so
        // that both titles show.
        testing_support::runEventsFor(1100ms);
        session.click("cmdStart");
        moveFirstWindow(spreadsheets.calc->pipeName(), 360, 300);
        testing_support::runEventsFor(1000ms);
        instrument.send(k7rxLine(0));
        testing_support::runEventsFor(3000ms);  // Calc repaints its placed window
        allSaved &= session.pictureOfScreen("tabwright-two-runs-calc-titles.png");
        session.click("cmdStop");
        // Closing Tabwright leaves the modified workbook's Calc asking whether to save.
        session.close();
        testing_support::runEventsFor(2500ms);
        allSaved &= session.pictureOfScreen("tabwright-closed-calc-asks-to-save.png");
    }
    {
        testing_support::VisibleCalcFactory spreadsheets;
        Session session(spreadsheets, output);
        session.click("cmdStart");
        instrument.send(k7rxLine(0));
        testing_support::runEventsFor(1000ms);
        ::kill(-spreadsheets.calc->processGroup(), SIGKILL);
        testing_support::runEventsFor(1000ms);
        instrument.send(k7rxLine(1));
        session.waitForStatusStartingWith(QStringLiteral("MS Excel has ended"));
        session.click("cmdStop");
        allSaved &= session.picture("tabwright-main-calc-killed.png");
    }
    return allSaved ? 0 : 1;
}
