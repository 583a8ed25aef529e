// How long the main window goes unanswered (the longest gap between two turns of its event
// loop) through Start, a run, Stop and Close with a real headless Calc, and through a
// Start whose port does not open, once with Calc's start and quit in the window's own
// thread and once in a thread of their own, as the program runs them; then, as the program
// runs them, a Stop with its end-of-run macro and a rebuild of that run from its journal.
// Prints the longest block of each step in ms.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "serial/qt_serial_port.h"
#include "tabwright/files/ini_settings_store.h"
#include "tabwright/testing/headless_calc_window_parts.h"
#include "tabwright/windows/main_window.h"
#include "testing/event_loop.h"
#include "testing/event_loop_probe.h"
#include "testing/port_mapping.h"
#include "testing/pty_instrument.h"
#include "testing/scripted_prompter.h"
#include "testing/temp_folder.h"
#include "testing/widgets/named_control.h"
#include "testing/widgets/qt_application.h"
#include "testing/widgets/scripted_file_dialog.h"

namespace tabwright {
namespace {

using namespace std::chrono_literals;

constexpr int kInstrumentPort = 2;

// The main window on a headless Calc of its own, the instrument on COM 2.
class MeasuredWindow : public testing_support::HeadlessCalcWindowParts {
public:
    explicit MeasuredWindow(bool threaded, const char* macro = nullptr)
        : HeadlessCalcWindowParts(PROJECT_DATA_DIR)
    {
        settings.write("Tabwright", "Communication", "ComPort", std::to_string(kInstrumentPort));
        settings.write("Tabwright", "Excel Macro", "Enable", macro != nullptr ? "True" : "False");
        settings.write("Tabwright", "Excel Macro", "Name", macro != nullptr ? macro : "");
        window = std::make_unique<frmMain>(windowParts());
        if (threaded)
            window->runSlowStepsWith(slowSteps);
        window->show();
        testing_support::runEventsFor(200ms);
    }

    void click(const char* name)
    {
        QTest::mouseClick(&testing_support::namedControl<QPushButton>(*window, name), Qt::LeftButton);
    }
    std::string status() const
    {
        return testing_support::namedControl<QLabel>(*window, "panStatus").text().toStdString();
    }
    // The longest block while `step` runs and the events run until `done` holds.
    double measure(const std::function<void()>& step, const std::function<bool()>& done)
    {
        probe.start();
        step();
        const bool reached = testing_support::runEventsUntil(done, 120s);
        const double longest = probe.longest().count();
        if (!reached)
            std::fprintf(stderr, "did not reach the expected state; status: %s\n", status().c_str());
        return longest;
    }

    testing_support::EventLoopProbe probe;
    ThreadStep slowSteps;
    std::unique_ptr<frmMain> window;
};

const char* road = "";

void printFigure(const char* step, double milliseconds)
{
    std::printf("%-26s %-36s longest block %7.1f ms\n", road, step, milliseconds);
}

void startRunStopClose(bool threaded)
{
    testing_support::PtyInstrument instrument;
    MeasuredWindow measured(threaded);
    measured.mapping.map(kInstrumentPort, instrument.devicePath());
    road = threaded ? "with Calc, Calc threaded" : "with Calc, Calc inline";
    printFigure(
        "Start (Calc opens the workbook)",
        measured.measure([&] { measured.click("cmdStart"); }, [&] { return measured.status() == "Ready"; }));
    printFigure("a run (three lines)", measured.measure(
                                           [&] {
                                               instrument.send(
                                                   "0 0000 :: 12-07-2026 05:10:26 = 57 (RAW)  43 (C)\r\n"
                                                   "1 0001 :: 12-07-2026 05:10:27 = 61 (RAW)  43 (C)\r\n"
                                                   "2 0002 :: 12-07-2026 05:10:28 = 58 (RAW)  44 (C)\r\n");
                                           },
                                           [&] { return measured.status() == "Bytes Received: 150"; }));
    printFigure("Stop", measured.measure([&] { measured.click("cmdStop"); },
                                         [&] {
                                             return measured.window->run().state() == RunState::Stopped &&
                                                    !measured.window->run().stopping();
                                         }));
    printFigure("Close (Calc quits)", measured.measure([&] { measured.window->close(); },
                                                       [&] { return !measured.window->isVisible(); }));
}

void startWithoutPort(bool threaded)
{
    MeasuredWindow measured(threaded);
    measured.mapping.map(kInstrumentPort, "/dev/no-such-serial-device");
    road = threaded ? "port fails, Calc threaded" : "port fails, Calc inline";
    printFigure("Start (Calc opens, the port fails)",
                measured.measure([&] { measured.click("cmdStart"); },
                                 [&] { return measured.status() == "COM port not available"; }));
    printFigure("Close", measured.measure([&] { measured.window->close(); },
                                          [&] { return !measured.window->isVisible(); }));
}

void macroAndRebuild()
{
    testing_support::PtyInstrument instrument;
    MeasuredWindow measured(true, "ChartReadings");
    measured.mapping.map(kInstrumentPort, instrument.devicePath());
    testing_support::ScriptedFileDialog dialog;
    measured.window->setJournalFileDialog(dialog);
    road = "macro and rebuild";
    measured.click("cmdStart");
    testing_support::runEventsUntil([&] { return measured.status() == "Ready"; }, 120s);
    std::string lines;
    for (int line = 0; line < 200; ++line)
        lines += std::to_string(line) + " 0000 :: 12-07-2026 05:10:26 = 57 (RAW)  43 (C)\r\n";
    instrument.send(lines);
    testing_support::runEventsUntil(
        [&] {
            return measured.window->run().parser().bytesReceived() == static_cast<std::int64_t>(lines.size());
        },
        120s);
    const frmMain& window = *measured.window;
    printFigure("Stop with the end-of-run macro",
                measured.measure([&] { measured.click("cmdStop"); },
                                 [&] {
                                     return window.run().state() == RunState::Stopped &&
                                            !window.run().stopping() && !window.run().runningMacro();
                                 }));
    dialog.answers.push_back(window.run().journal().path());
    auto& rebuild = testing_support::namedControl<QAction>(*measured.window, "mnuToolsRebuildFromJournal");
    printFigure("Rebuild From Journal (200 lines)",
                measured.measure([&] { rebuild.trigger(); }, [&] { return rebuild.isEnabled(); }));
    std::printf("%-26s %s\n", road, measured.status().c_str());
    measured.window->close();
    // The rebuilt workbook is left open for the user; here nobody looks at it.
    if (const auto& rebuilt = measured.window->rebuiltWorkbook().application)
        rebuilt->quit();
}

}  // namespace
}  // namespace tabwright

int main()
{
    testing_support::application();
    for (const bool threaded : {false, true}) {
        tabwright::startRunStopClose(threaded);
        tabwright::startWithoutPort(threaded);
    }
    tabwright::macroAndRebuild();
    return 0;
}
