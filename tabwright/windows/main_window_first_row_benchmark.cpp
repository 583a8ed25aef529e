// How long a user waits after Start for the first row to show in the window's Calc: the
// real main window on a visible Calc (on a virtual display of its own), Calc started in a
// thread of its own as the program runs it, the instrument sending its first line as soon
// as the window says Ready. Prints, for the median of three Starts, the whole wait and
// where it goes: Calc's own start (the process until it answers on its pipe), the workbook
// opened and shown with the port opened, and the first tick's write until Calc holds the
// row. One "figure NAME MILLISECONDS" line each.
#include <QLabel>
#include <QLoggingCategory>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <vector>

#include "tabwright/testing/calc_user_side.h"
#include "tabwright/testing/headless_calc_window_parts.h"
#include "testing/event_loop.h"
#include "testing/pty_instrument.h"
#include "testing/virtual_display.h"
#include "testing/widgets/named_control.h"

namespace tabwright {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int kInstrumentPort = 2;
constexpr int kStarts = 3;

// When Calc said it answers on its pipe; written by the thread that starts it.
std::atomic<Clock::rep> calcStarted{0};
QtMessageHandler formerHandler = nullptr;

void noteCalcStarted(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (text.startsWith(QStringLiteral("LibreOffice Calc started")))
        calcStarted = Clock::now().time_since_epoch().count();
    else if (formerHandler != nullptr)
        formerHandler(type, context, text);
}

struct Phases {
    double calcStart = 0;      // Start to Calc answering
    double workbookShown = 0;  // then the workbook opened and shown, the port opened: Ready
    double firstRow = 0;       // then the first line sent, read, written and held by Calc
    double total() const { return calcStart + workbookShown + firstRow; }
};

double since(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

Phases oneStart()
{
    testing_support::PtyInstrument instrument;
    testing_support::HeadlessCalcWindowParts parts(PROJECT_DATA_DIR);
    parts.spreadsheets.display = CalcOptions::Display::Visible;
    parts.mapping.map(kInstrumentPort, instrument.devicePath());
    parts.settings.write("Tabwright", "Communication", "ComPort", std::to_string(kInstrumentPort));
    parts.settings.write("Tabwright", "Excel Macro", "Enable", "False");
    ThreadStep slowSteps;
    frmMain window(parts.windowParts());
    window.runSlowStepsWith(slowSteps);
    window.show();
    const auto& status = testing_support::namedControl<QLabel>(window, "panStatus");

    calcStarted = 0;
    const Clock::time_point start = Clock::now();
    QTest::mouseClick(&testing_support::namedControl<QPushButton>(window, "cmdStart"), Qt::LeftButton);
    testing_support::runEventsUntil([&] { return status.text() == QStringLiteral("Ready"); }, 120s);
    const Clock::time_point ready = Clock::now();
    instrument.send("0 0000 :: 12-07-2026 05:10:26 = 57 (RAW)  43 (C)\r\n");
    testing_support::CalcUserSide user(parts.spreadsheets.calc->pipeName());
    const std::string workbook = parts.spreadsheets.calc->workbookName();
    testing_support::runEventsUntil([&] { return user.text(workbook, 1, 1) == "0"; }, 60s);
    const Clock::time_point firstRow = Clock::now();

    const Clock::time_point answered{Clock::duration(calcStarted.load())};
    Phases phases{since(start, answered), since(answered, ready), since(ready, firstRow)};
    // A visible Calc with an unsaved row asks the user at Close and stays: it is ended here.
    const pid_t group = parts.spreadsheets.calc->processGroup();
    window.close();
    ::kill(-group, SIGKILL);
    return phases;
}

}  // namespace
}  // namespace tabwright

int main()
{
    testing_support::application();
    testing_support::VirtualDisplay display;
    QLoggingCategory::setFilterRules(QStringLiteral("tabwright.calc.info=true"));
    tabwright::formerHandler = qInstallMessageHandler(tabwright::noteCalcStarted);
    std::vector<tabwright::Phases> starts;
    for (int start = 0; start < tabwright::kStarts; ++start)
        starts.push_back(tabwright::oneStart());
    std::sort(starts.begin(), starts.end(),
              [](const auto& a, const auto& b) { return a.total() < b.total(); });
    const tabwright::Phases& median = starts[starts.size() / 2];
    std::printf("figure start_to_first_row %.0f\n", median.total());
    std::printf("figure calc_start %.0f\n", median.calcStart);
    std::printf("figure workbook_shown_and_port %.0f\n", median.workbookShown);
    std::printf("figure first_tick_and_write %.0f\n", median.firstRow);
    return 0;
}
