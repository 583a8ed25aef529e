// What the live readings chart costs a full-speed capture in the main window with a real
// headless Calc. The same K7RX lines are sent as fast as the window takes them and drained
// into Calc, in one window and one Calc, in rounds of three runs: the rows fed to no
// chart, fed with the chart closed (as the program always feeds them), and fed with the
// chart open. For each, the cells/s and the program's own processor time (medians of the
// rounds) and the window's longest block; with the chart open, the longest the window's
// thread spent at one time handling the chart's own events (its timers, layout and
// painting) during the run, and apart from it the time from opening the chart to its first
// paint. Prints "figure NAME VALUE" lines.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "tabwright/testing/cell_count.h"
#include "tabwright/testing/headless_calc_window_parts.h"
#include "tabwright/windows/main_window.h"
#include "tabwright/windows/readings_chart_menu.h"
#include "tabwright/windows/readings_chart_window.h"
#include "testing/cpu_time.h"
#include "testing/event_loop.h"
#include "testing/event_loop_probe.h"
#include "testing/pty_instrument.h"
#include "testing/widgets/named_control.h"

namespace tabwright {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int kInstrumentPort = 2;
constexpr std::size_t kRunBytes = 2 << 20;
constexpr int kRounds = 5;

// The application, timing every event it hands to the watched window or anything in it;
// events handled inside such an event count with it.
class ChartTimingApplication : public QApplication {
public:
    using QApplication::QApplication;

    void watch(const QObject* window)
    {
        watched_ = window;
        longest_ = {};
        painted_ = false;
    }
    double longestMilliseconds() const { return longest_.count(); }
    // Whether the watched window painted since watch().
    bool painted() const { return painted_; }

    bool notify(QObject* receiver, QEvent* event) override
    {
        if (timing_ || watched_ == nullptr || !inWatched(receiver))
            return QApplication::notify(receiver, event);
        timing_ = true;
        painted_ = painted_ || event->type() == QEvent::Paint;
        const auto began = Clock::now();
        const bool handled = QApplication::notify(receiver, event);
        longest_ = std::max(longest_, std::chrono::duration<double, std::milli>(Clock::now() - began));
        timing_ = false;
        return handled;
    }

private:
    bool inWatched(const QObject* object) const
    {
        for (; object != nullptr; object = object->parent())
            if (object == watched_)
                return true;
        return false;
    }

    const QObject* watched_ = nullptr;
    bool timing_ = false;
    bool painted_ = false;
    std::chrono::duration<double, std::milli> longest_{};
};

// K7RX lines whose time stamps go on a second a line, as a running instrument's do.
std::string k7rxRun()
{
    std::string text;
    for (int index = 0; text.size() < kRunBytes; ++index) {
        char line[96];
        std::snprintf(line, sizeof line, "%d %04d :: 12-08-2026 %02d:%02d:%02d = %d (RAW)  %d (C)\r\n",
                      index % 10, index % 10000, 5 + index / 3600, index / 60 % 60, index % 60,
                      40 + (index * 37) % 23, 21 + index % 3);
        text += line;
    }
    return text;
}

enum class Feeding { None, ChartClosed, ChartOpen };

struct RunFigures {
    double cellsPerSecond = 0;
    double cpuSeconds = 0;  // the program's own, Calc's not counted
    double longestBlock = 0;
    double longestChart = 0;
    double chartOpening = 0;  // the longest of the chart's events from its opening to its first paint
};

class MeasuredWindow : public testing_support::HeadlessCalcWindowParts {
public:
    MeasuredWindow() : HeadlessCalcWindowParts(PROJECT_DATA_DIR)
    {
        settings.write("Tabwright", "Communication", "ComPort", std::to_string(kInstrumentPort));
        settings.write("Tabwright", "Excel Macro", "Enable", "False");
        mapping.map(kInstrumentPort, instrument.devicePath());
        window = std::make_unique<frmMain>(windowParts());
        window->runSlowStepsWith(slowSteps);
        window->show();
        testing_support::runEventsUntil([&] { return window->isVisible(); });
    }

    std::string status() const
    {
        return testing_support::namedControl<QLabel>(*window, "panStatus").text().toStdString();
    }
    void click(const char* name)
    {
        QTest::mouseClick(&testing_support::namedControl<QPushButton>(*window, name), Qt::LeftButton);
    }

    // One run of `text` fed as `feeding` says: Start, the text sent as fast as the window
    // takes it until every byte is drained into Calc, Stop.
    RunFigures run(const std::string& text, double cells, Feeding feeding, ChartTimingApplication& app)
    {
        const CaptureRun& capture = window->run();
        window->readingsCharts().setFeedingRun(feeding != Feeding::None);
        click("cmdStart");
        if (!testing_support::runEventsUntil([&] { return status() == "Ready"; }, 120s)) {
            std::fprintf(stderr, "no Start; status: %s\n", status().c_str());
            return {};
        }
        RunFigures figures;
        frmReadingsChart* chart = window->readingsCharts().runChart();
        if (feeding == Feeding::ChartOpen) {
            const auto opened = Clock::now();
            testing_support::namedControl<QAction>(*window, "mnuToolsReadingsChart").trigger();
            chart = window->readingsCharts().runChart();
            app.watch(chart);
            testing_support::runEventsUntil([&] { return app.painted(); });
            figures.chartOpening =
                std::max(app.longestMilliseconds(),
                         std::chrono::duration<double, std::milli>(Clock::now() - opened).count());
            app.watch(chart);
        } else if (chart != nullptr) {
            chart->close();
        }
        std::size_t sent = 0;
        const auto size = static_cast<std::int64_t>(text.size());
        probe.start();
        const auto began = Clock::now();
        const double cpuBefore = testing_support::processCpuSeconds();
        const bool drained = testing_support::runEventsUntil(
            [&] {
                sent += instrument.trySend(std::string_view(text).substr(sent));
                return capture.parser().bytesReceived() == size && capture.bytesWaiting() == 0;
            },
            120s);
        const double seconds = std::chrono::duration<double>(Clock::now() - began).count();
        figures.cpuSeconds = testing_support::processCpuSeconds() - cpuBefore;
        figures.longestBlock = probe.longest().count();
        figures.longestChart = app.longestMilliseconds();
        app.watch(nullptr);
        figures.cellsPerSecond = drained && !capture.excelBlocked() ? cells / seconds : 0;
        if (!drained)
            std::fprintf(stderr, "not drained; status: %s\n", status().c_str());
        click("cmdStop");
        testing_support::runEventsUntil(
            [&] { return capture.state() == RunState::Stopped && !capture.stopping(); }, 120s);
        // The run's workbook stays open for the user; here nobody looks at it.
        if (spreadsheets.calc)
            spreadsheets.calc->quit();
        return figures;
    }

    void close()
    {
        window->close();
        testing_support::runEventsUntil([&] { return !window->isVisible(); }, 120s);
    }

    testing_support::PtyInstrument instrument;
    testing_support::EventLoopProbe probe;
    ThreadStep slowSteps;
    std::unique_ptr<frmMain> window;
};

// The median of the runs that drained (a run that did not counts 0).
double median(std::vector<double> values)
{
    std::erase(values, 0.0);
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

void printFigure(const char* name, double value)
{
    std::printf("figure %s %.3f\n", name, value);
    std::fflush(stdout);
}

}  // namespace
}  // namespace tabwright

int main(int argc, char** argv)
{
    using tabwright::Feeding;
    tabwright::ChartTimingApplication app(argc, argv);
    const std::string text = tabwright::k7rxRun();
    const auto cells = static_cast<double>(testing_support::cellsOf(text));
    tabwright::MeasuredWindow measured;
    const Feeding feedings[] = {Feeding::None, Feeding::ChartClosed, Feeding::ChartOpen};
    std::vector<tabwright::RunFigures> runs[3];
    // Each round starts one further along, so that no way of feeding always runs with the
    // most workbooks open in Calc.
    for (int round = 0; round < tabwright::kRounds; ++round)
        for (int step = 0; step < 3; ++step) {
            const int feeding = (round + step) % 3;
            runs[feeding].push_back(measured.run(text, cells, feedings[feeding], app));
            const auto& run = runs[feeding].back();
            std::fprintf(stderr,
                         "round %d feeding %d: %.0f cells/s, CPU %.2f s, longest block %.1f ms, chart %.1f "
                         "ms (opening %.1f ms)\n",
                         round, feeding, run.cellsPerSecond, run.cpuSeconds, run.longestBlock,
                         run.longestChart, run.chartOpening);
        }
    measured.close();
    const char* names[] = {"not_fed", "chart_closed", "chart_open"};
    for (int feeding = 0; feeding < 3; ++feeding) {
        std::vector<double> rates;
        std::vector<double> cpu;
        std::vector<double> blocks;
        for (const auto& run : runs[feeding]) {
            rates.push_back(run.cellsPerSecond);
            cpu.push_back(run.cellsPerSecond > 0 ? run.cpuSeconds : 0);
            blocks.push_back(run.longestBlock);
        }
        tabwright::printFigure((std::string("cells_per_second_") + names[feeding]).c_str(),
                               tabwright::median(rates));
        tabwright::printFigure((std::string("cpu_ms_") + names[feeding]).c_str(),
                               tabwright::median(cpu) * 1000);
        tabwright::printFigure((std::string("longest_block_ms_") + names[feeding]).c_str(),
                               *std::max_element(blocks.begin(), blocks.end()));
    }
    double chart = 0;
    double opening = 0;
    for (const auto& run : runs[2]) {
        chart = std::max(chart, run.longestChart);
        opening = std::max(opening, run.chartOpening);
    }
    tabwright::printFigure("longest_chart_block_ms", chart);
    tabwright::printFigure("chart_opening_ms", opening);
    tabwright::printFigure("cells", cells);
    return 0;
}
