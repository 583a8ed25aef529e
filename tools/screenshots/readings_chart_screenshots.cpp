// Shows the readings charts of both programs on the display and saves pictures of them:
// Tabwright's chart beside a capture fed by the emulator window (the K7RX, then the VQ-480),
// written to a CSV file so no Calc is needed; the same chart zoomed in with a band and its
// statistics; and Logfetch's chart of each sample data log as its conversion window shows it.
// Run it under a display server with a window manager, for example
//   xvfb-run -a -s "-screen 0 1600x1000x24" readings_chart_screenshots OUTPUT_FOLDER SAMPLES_FOLDER
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <string>
#include <utility>

#include "common/core/single_byte_text.h"
#include "common/widgets/readings_chart.h"
#include "logfetch/convert/convert_bin_file.h"
#include "logfetch/convert/log_readings.h"
#include "logfetch/windows/log_chart_window.h"
#include "serial/qt_serial_port.h"
#include "tabwright/files/ini_settings_store.h"
#include "tabwright/cli/csv_spreadsheet.h"
#include "tabwright/files/kernel_version_query.h"
#include "tabwright/testing/machine_choice.h"
#include "tabwright/windows/emulator_window_slot.h"
#include "tabwright/windows/main_window.h"
#include "tabwright/windows/readings_chart_menu.h"
#include "tabwright/windows/readings_chart_window.h"
#include "testing/event_loop.h"
#include "testing/port_mapping.h"
#include "testing/pty_instrument.h"
#include "testing/scripted_prompter.h"
#include "testing/temp_folder.h"
#include "testing/widgets/named_control.h"
#include "tools/screenshots/screen_picture.h"

namespace {

using namespace std::chrono_literals;
using testing_support::namedControl;

QRect framesOf(std::initializer_list<const QWidget*> windows)
{
    QRect all;
    for (const QWidget* window : windows)
        all = all.united(window->frameGeometry());
    return all;
}

bool tabwrightPictures(const QString& output)
{
    testing_support::TemporaryPortMapping mapping;  // also the settings' folder
    testing_support::PtyInstrument instrument;
    mapping.map(1, instrument.devicePath());
    testing_support::TempFolder work;

    tabwright::EmulatedInstruments instruments;
    tabwright::EmulatorSource handover;
    serial::QtSerialPort port;
    tabwright::CsvSpreadsheetFactory spreadsheets(work.file("run.csv"));
    tabwright::SystemTimeOfDay clock;
    tabwright::IniSettingsStore settings;
    tabwright::KernelVersionQuery platform;
    testing_support::ScriptedPrompter prompter;
    tabwright::EmulatorWindowSlot emulator(instruments, handover, prompter);
    tabwright::frmMain window(tabwright::MainWindowParts{spreadsheets, port, handover, clock, settings, platform,
                                                         prompter, work.path()});
    emulator.attachTo(window);
    window.show();
    testing_support::runEventsFor(400ms);
    namedControl<QPushButton>(window, "cmdStart").click();
    if (window.run().state() != tabwright::RunState::Running) {
        std::cerr << "the capture did not start: "
                  << namedControl<QLabel>(window, "panStatus").text().toStdString() << '\n';
        return false;
    }
    namedControl<QAction>(window, "mnuToolsDLREmulation").trigger();
    QWidget& emulatorWindow = *emulator.window();
    // Readings between 30 and 80, temperatures between 21 and 24.
    for (const auto& [bar, value] : {std::pair{"scrollMeasureMin", 30}, std::pair{"scrollMeasureMax", 80},
                                     std::pair{"scrollTempMin", 21}, std::pair{"scrollTempMax", 24}})
        namedControl<QScrollBar>(emulatorWindow, bar).setValue(value);
    namedControl<QAction>(window, "mnuToolsReadingsChart").trigger();
    tabwright::frmReadingsChart& chart = *window.readingsCharts().runChart();
    chart.resize(900, 760);
    chart.chart().setFollowSpan(60.0);
    testing_support::runEventsFor(500ms);
    // Side by side once every window has placed itself: the main window over the emulator,
    // the chart to their right.
    window.move(10, 30);
    testing_support::runEventsFor(200ms);
    emulatorWindow.move(10, window.frameGeometry().bottom() + 30);
    testing_support::runEventsFor(200ms);
    chart.move(std::max(window.frameGeometry().right(), emulatorWindow.frameGeometry().right()) + 10, 30);

    testing_support::runEventsFor(20s);
    bool saved = testing_support::saveScreenPicture(window, framesOf({&window, &emulatorWindow, &chart}),
                                                    output + "/tabwright-chart-k7rx-run.png");
    testing_support::chooseMachine(emulatorWindow, "VQ-480");
    testing_support::runEventsFor(15s);
    saved &= testing_support::saveScreenPicture(window, framesOf({&window, &emulatorWindow, &chart}),
                                                output + "/tabwright-chart-vq480-run.png");
    namedControl<QPushButton>(window, "cmdStop").click();
    testing_support::runEventsFor(500ms);

    // The K7RX part zoomed in, with a band on the reading.
    const common::ReadingSeries* reading = window.readingsCharts().runReadings().find("Reading (RAW)");
    if (reading != nullptr && reading->size() > 10) {
        chart.chart().showTimes(reading->earliest() + 2, reading->latest() - 4);
        chart.chart().setBand("Reading (RAW)", common::ReadingBand{40, 60});
        chart.chart().autoscale();
        chart.raise();
        testing_support::runEventsFor(600ms);
        saved &= testing_support::saveScreenPicture(chart, chart.frameGeometry(),
                                                    output + "/tabwright-chart-zoomed-band.png");
    }
    window.close();
    return saved;
}

bool logfetchPictures(const QString& output, const std::string& samples)
{
    bool saved = true;
    testing_support::TempFolder work;
    for (const char* sample : {"worked-example", "lab-week", "field-stamped", "stopped-early"}) {
        const std::string name = std::string(sample) + ".bin";
        std::filesystem::copy_file(samples + "/" + name, work.file(name));
        logfetch::StepValues values;
        testing_support::ScriptedPrompter prompter;
        logfetch::LogReadings readings;
        logfetch::ConvertBinFile(work.path(), name, values, prompter, [] {}, &readings);
        logfetch::frmLogChart chart(std::move(readings), name);
        chart.move(10, 30);
        chart.show();
        testing_support::runEventsFor(600ms);
        saved &= testing_support::saveScreenPicture(chart, chart.frameGeometry(),
                                                    output + "/logfetch-chart-" + sample + ".png");
    }
    return saved;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString output = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    const std::string samples = argc > 2 ? argv[2] : "data/samples";
    bool saved = logfetchPictures(output, samples);
    saved &= tabwrightPictures(output);
    return saved ? 0 : 1;
}
