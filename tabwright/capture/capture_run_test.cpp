#include "tabwright/capture/capture_run.h"
#include "tabwright/capture/incoming_text.h"
#include "tabwright/files/capture_journal.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QLoggingCategory>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tabwright/capture/digit_grouping.h"
#include "tabwright/capture/journal_reads.h"
#include "tabwright/capture/port_or_emulator_source.h"
#include "tabwright/chart/run_readings.h"
#include "tabwright/files/journal_chart.h"
#include "tabwright/files/serial_port_source.h"
#include "tabwright/testing/recording_spreadsheet_factory.h"
#include "testing/event_loop.h"
#include "testing/file_contents.h"
#include "testing/scripted_prompter.h"
#include "testing/temp_folder.h"

namespace tabwright {
namespace {

using namespace std::chrono_literals;
using testing::ElementsAre;
using testing::ElementsAreArray;
using testing::IsEmpty;
using testing_support::RecordingSpreadsheetFactory;

// A port whose received text the test sets; it can refuse to open.
class FakePort : public serial::SerialPort {
public:
    void setPortNumber(int number) override { number_ = number; }
    int portNumber() const override { return number_; }
    void open() override
    {
        if (refuseOpen)
            throw serial::PortError(serial::PortFailure::NoSuchDevice, number_, "", "", "");
        open_ = true;
    }
    bool isOpen() const override { return open_; }
    void close() override { open_ = false; }
    void clearBuffers() override {}
    std::string takePendingText() override { return open_ ? std::exchange(received, {}) : ""; }
    int takeByte() override { return -1; }
    bool sendByte(std::uint8_t) override { return open_; }
    void setBytesArrivedHandler(std::function<void()> handler) override { arrived = std::move(handler); }
    void setLinkLostHandler(std::function<void(const serial::PortError&)> handler) override
    {
        linkLost_ = std::move(handler);
    }
    // Tells of bytes waiting, as a port read on a thread of its own does from the event loop.
    void tellArrival()
    {
        if (arrived)
            arrived();
    }
    std::function<void()> arrived;
    // The cable pulled: the port closes and tells its handler.
    void loseLink()
    {
        open_ = false;
        if (linkLost_)
            linkLost_(serial::PortError(serial::PortFailure::NoSuchDevice, number_, "", "", ""));
    }

    std::string received;
    bool refuseOpen = false;

private:
    int number_ = 1;
    bool open_ = false;
    std::function<void(const serial::PortError&)> linkLost_;
};

// A picture as the window shows it: the lamps it paints, the status line, the run buttons
// it enables (+) or disables (-), and the one of Pause and Resume in front.
std::string described(const RunPicture& picture)
{
    static const char* colours[] = {"yellow", "green", "red", "background"};
    static const char* buttons[] = {"Start", "Stop", "Pause", "Resume", "ComPorts"};
    const RunLook look = lookOf(picture);
    std::string line;
    if (look.portLamp)
        line += std::string("port ") + colours[static_cast<int>(*look.portLamp)] + ", ";
    if (look.excelLamp)
        line += std::string("excel ") + colours[static_cast<int>(*look.excelLamp)] + ", ";
    line += "status " + statusText(picture);
    for (std::size_t which = 0; which < kRunButtonCount; ++which) {
        if (look.enabled[which])
            line += std::string(*look.enabled[which] ? " +" : " -") + buttons[which];
    }
    if (look.inFront)
        line += std::string(", front ") + buttons[static_cast<int>(*look.inFront)];
    return line;
}

// The whole pictures of a run in its usual states.
std::string running(const std::string& status)
{
    return "port green, excel green, status " + status +
           " -Start +Stop +Pause -Resume -ComPorts, front Pause";
}
std::string runningBlocked(std::string_view status)
{
    return "port green, excel red, status " + std::string(status) +
           " -Start +Stop -Pause -Resume -ComPorts, front Pause";
}
const std::string kPaused =
    "port yellow, excel yellow, status Paused -Start +Stop -Pause +Resume -ComPorts, front Resume";
std::string stopped(std::string_view status)
{
    return "port background, excel background, status " + std::string(status) +
           " +Start -Stop -Pause -Resume +ComPorts, front Pause";
}
const std::string kStopped = stopped("");

// Writes down what the run shows, one line per picture, and whether its timer runs.
class RecordingView : public RunView, public RunTimer {
public:
    void showRun(const RunPicture& picture) override { shown.push_back(described(picture)); }
    void bringWindowToFront() override { shown.push_back("window front"); }
    void setTimerEnabled(bool enabled) override { timerOn = enabled; }
    void rearmAtOnce() override
    {
        timerOn = true;
        ++rearmedAtOnce;
    }

    std::vector<std::string> shown;
    bool timerOn = false;
    int rearmedAtOnce = 0;
};

class FixedTime : public TimeOfDay {
public:
    std::int32_t millisecondsSinceMidnight() override { return 13 * 3600 * 1000 + 1800 * 1000; }
};

struct RunFixture : testing::Test {
    FakePort port;
    RecordingSpreadsheetFactory spreadsheets;
    SerialPortSource portSource{port};
    EmulatorSource handover;
    // As in the main window: the port, read only while the emulator is closed.
    PortOrEmulatorSource source{portSource, handover};
    FixedTime clock;
    RecordingView view;
    testing_support::ScriptedPrompter prompter;
    testing_support::TempFolder data;
    CaptureJournal journal{data.path()};
    CaptureRun run{CaptureRunParts{spreadsheets, source, clock, view, view, prompter, journal}};

    void tick(const std::function<void()>& duringEvents = [] {}) { run.tick(duringEvents); }
    std::vector<std::string> shownSince(std::size_t from) const
    {
        return {view.shown.begin() + static_cast<std::ptrdiff_t>(from), view.shown.end()};
    }
};

const std::vector<std::string> kOpeningWorkbook{
    "excel yellow, status Opening MS Excel Spreadsheet -Start -Stop -Pause -Resume -ComPorts"};
const std::vector<std::string> kWorkbookOpenedThenPort{"excel green, status ",
                                                       "port yellow, excel green, status Opening COM port"};

struct StartCase {
    const char* name;
    std::function<void(RunFixture&)> arrange;
    bool runs;
    std::vector<std::string> shownAfterOpening;
    std::string reasonStart;  // how the reason of a failed Start begins
};

class StartCases : public RunFixture, public testing::WithParamInterface<StartCase> {};

TEST_P(StartCases, ShowsEachStepInOrderAndEndsInItsState)
{
    GetParam().arrange(*this);
    EXPECT_EQ(run.start(), GetParam().runs);
    std::vector<std::string> expected = kOpeningWorkbook;
    expected.insert(expected.end(), GetParam().shownAfterOpening.begin(), GetParam().shownAfterOpening.end());
    EXPECT_THAT(view.shown, ElementsAreArray(expected));
    EXPECT_EQ(run.state(), GetParam().runs ? RunState::Running : RunState::Stopped);
    EXPECT_EQ(view.timerOn, GetParam().runs);
    EXPECT_EQ(port.isOpen(), GetParam().runs);
    EXPECT_THAT(run.picture().reason, testing::StartsWith(GetParam().reasonStart));
    EXPECT_EQ(run.picture().reason.empty(), GetParam().runs);
}

INSTANTIATE_TEST_SUITE_P(
    CaptureRun, StartCases,
    testing::Values(
        StartCase{"Opens",
                  [](RunFixture&) {},
                  true,
                  {kWorkbookOpenedThenPort[0], kWorkbookOpenedThenPort[1], running("Ready"), "window front"},
                  ""},
        StartCase{"NoInstance",
                  [](RunFixture& f) { f.spreadsheets.prepare = [](auto& s) { s.failCall("newInstance"); }; },
                  false,
                  {"excel red, status MS Excel not available +Start -Stop -Pause -Resume +ComPorts"},
                  "LibreOffice Calc did not start: newInstance failed"},
        StartCase{"NoWorkbook",
                  [](RunFixture& f) {
                      f.spreadsheets.prepare = [](auto& s) { s.failCall("openCaptureWorkbook"); };
                  },
                  false,
                  {"excel red, status MS Excel not available +Start -Stop -Pause -Resume +ComPorts"},
                  "The capture workbook "},
        StartCase{"NoApplicationAtAll",
                  [](RunFixture& f) { f.spreadsheets.failMaking = true; },
                  false,
                  {"excel red, status MS Excel not available +Start -Stop -Pause -Resume +ComPorts"},
                  "LibreOffice Calc cannot be used: no spreadsheet application"},
        StartCase{"NoPort",
                  [](RunFixture& f) { f.port.refuseOpen = true; },
                  false,
                  {kWorkbookOpenedThenPort[0], kWorkbookOpenedThenPort[1],
                   "port red, excel background, status COM port not available +Start -Stop -Pause -Resume "
                   "+ComPorts"},
                  "No serial device is connected as COM1"}),
    [](const auto& info) { return std::string(info.param.name); });

// Start with the application's slow steps in a thread of their own, as the window runs them.
class ThreadedStart : public RunFixture {
protected:
    ThreadedStart() { run.runSlowStepsWith(steps); }
    // Runs the events until the background step has handed its result back.
    void waitForStart()
    {
        ASSERT_TRUE(testing_support::runEventsUntil([this] { return !run.starting(); }, 30s));
    }
    ThreadStep steps;
};

TEST_F(ThreadedStart, GoesOnFromTheEventLoopShowingTheSameStepsAndIgnoresStopMeanwhile)
{
    testing_support::ensureCoreApplication();
    EXPECT_FALSE(run.start());
    EXPECT_TRUE(run.starting());
    EXPECT_FALSE(run.start());  // a second Start while the first opens does nothing
    run.stop();
    EXPECT_THAT(view.shown, ElementsAreArray(kOpeningWorkbook));
    waitForStart();
    EXPECT_EQ(run.state(), RunState::Running);
    EXPECT_THAT(view.shown, ElementsAre(kOpeningWorkbook[0], kWorkbookOpenedThenPort[0],
                                        kWorkbookOpenedThenPort[1], running("Ready"), "window front"));
    EXPECT_TRUE(view.timerOn);
    EXPECT_EQ(spreadsheets.made.size(), 1u);
}

TEST_F(ThreadedStart, APortFailureQuitsTheInstanceInTheBackground)
{
    testing_support::ensureCoreApplication();
    port.refuseOpen = true;
    run.start();
    waitForStart();
    EXPECT_EQ(
        view.shown.back(),
        "port red, excel background, status COM port not available +Start -Stop -Pause -Resume +ComPorts");
    EXPECT_EQ(run.application(), nullptr);
    // The quit is under way or done; the end of the run waits for it.
    run.quitSpreadsheet();
    EXPECT_EQ(spreadsheets.last().calls.back(), "quit");
}

TEST_F(ThreadedStart, AFailedWorkbookIsToldWithItsReason)
{
    testing_support::ensureCoreApplication();
    spreadsheets.prepare = [](auto& s) { s.failCall("newInstance"); };
    run.start();
    waitForStart();
    EXPECT_EQ(view.shown.back(),
              "excel red, status MS Excel not available +Start -Stop -Pause -Resume +ComPorts");
    EXPECT_EQ(run.picture().reason, "LibreOffice Calc did not start: newInstance failed as told");
    EXPECT_EQ(run.state(), RunState::Stopped);
}

TEST_F(RunFixture, AnApplicationThatCannotBeMadeIsToldWithItsReason)
{
    spreadsheets.failMaking = true;
    EXPECT_FALSE(run.start());
    EXPECT_EQ(run.picture().reason, "LibreOffice Calc cannot be used: no spreadsheet application, as told");
}

TEST_F(RunFixture, AMissingTemplateIsToldBeforeAnyApplicationIsMade)
{
    spreadsheets.preparingFails = "no template in: /lab, /usr/share/tabwright";
    EXPECT_FALSE(run.start());
    EXPECT_EQ(view.shown.back(),
              "excel red, status MS Excel not available +Start -Stop -Pause -Resume +ComPorts");
    EXPECT_EQ(run.picture().reason,
              "The capture workbook cannot be made: no template in: /lab, /usr/share/tabwright");
    EXPECT_TRUE(spreadsheets.made.empty());
}

TEST_F(RunFixture, FailureAKeepsTheInstanceAndFailureBQuitsIt)
{
    spreadsheets.prepare = [](auto& s) { s.failCall("openCaptureWorkbook"); };
    run.start();
    EXPECT_EQ(run.application(), spreadsheets.made.back().get());
    EXPECT_THAT(spreadsheets.last().calls, testing::Not(testing::Contains("quit")));

    spreadsheets.prepare = nullptr;
    port.refuseOpen = true;
    run.start();
    EXPECT_EQ(run.application(), nullptr);
    EXPECT_EQ(spreadsheets.last().calls.back(), "quit");
}

TEST_F(RunFixture, TickReadsWritesAndRearmsUntilStopped)
{
    run.start();
    port.received = "0 0001 :: 12-07-2026 = 57\r\nA\tB";
    tick();
    EXPECT_EQ(spreadsheets.last().cells.size(), 4u);
    EXPECT_EQ(run.parser().receiveBuffer(), "A\tB");
    EXPECT_EQ(view.shown.back(), running("Bytes Received: 30"));
    EXPECT_TRUE(view.timerOn);

    // A Pause clicked while the tick runs the pending events leaves the timer on: a paused
    // run still journals what comes.
    port.received = "\r\n";
    tick([this] { run.pause(); });
    EXPECT_TRUE(view.timerOn);
    EXPECT_EQ(run.state(), RunState::Paused);
    EXPECT_EQ(std::get<std::string>(spreadsheets.last().cells.at({2, 2})), "B");
    run.stop();
    EXPECT_FALSE(view.timerOn);
}

TEST_F(RunFixture, WhilePausedTheTextGoesToTheJournalAndResumeWritesIt)
{
    run.start();
    run.pause();
    port.received = "1\r\n";
    tick();
    EXPECT_EQ(port.received, "");
    EXPECT_EQ(testing_support::readFile(run.journal().path()), "1\r\n");
    EXPECT_TRUE(spreadsheets.last().cells.empty());
    EXPECT_EQ(view.shown.back(), kPaused);
    std::size_t before = view.shown.size();
    run.resume();
    EXPECT_THAT(shownSince(before), ElementsAre(running("Bytes Received: 3")));
    tick();
    EXPECT_EQ(std::get<std::string>(spreadsheets.last().cells.at({1, 1})), "1");
    run.pause();
    before = view.shown.size();
    run.resume();
    EXPECT_THAT(shownSince(before), ElementsAre(running("Bytes Received: 3")));
    EXPECT_TRUE(view.timerOn);
}

TEST_F(RunFixture, TheSheetsLimitsCutTheLinesAndTheRunTellsEachKindOnce)
{
    spreadsheets.prepare = [](testing_support::RecordingSpreadsheet& sheet) {
        sheet.sheetLimits = kXlsSheet;
    };
    run.start();
    std::string wide = "a ::";
    std::string plain = "f";
    for (int cell = 1; cell <= 300; ++cell) {
        wide += " x";
        plain += "\tf";
    }
    port.received = wide + "\r\n" + plain + "\r\n" + plain + "\r\n";
    tick();
    EXPECT_FALSE(spreadsheets.last().cells.contains({1, 257}));
    EXPECT_FALSE(run.everyLineWritten());
    const auto told = [this](const std::string& text) {
        return std::count_if(view.shown.begin(), view.shown.end(),
                             [&](const std::string& shown) { return shown.find(text) != std::string::npos; });
    };
    EXPECT_EQ(told("cut at its last column (256 in .xls): row 1, 45 cells left out"), 1);
    EXPECT_EQ(told("Fields past column 256 of a plain (TAB-separated) line are left out, as from row 2"), 1);
    // More plain lines: told already, and counted.
    port.received = plain + "\r\n";
    tick();
    EXPECT_EQ(told("Fields past column 256"), 1);
    EXPECT_EQ(run.parser().tally().fieldsLeftOut, 3 * 45);
}

TEST_F(RunFixture, AFullWorkbookBlocksTheRunOnceWhileTheJournalTakesEverything)
{
    const std::string line = "a :: 1\r\n";
    spreadsheets.prepare = [](testing_support::RecordingSpreadsheet& sheet) {
        sheet.sheetLimits.workbookBytes = 2000;  // a few rows
    };
    run.start();
    std::string sent;
    for (int tickCount = 0; tickCount < 5; ++tickCount) {
        port.received = line + line + line + line + line + line;
        sent += port.received;
        tick();
    }
    // Blocked once, not taken back and refused again at every tick.
    const auto blocked = std::find_if(view.shown.begin(), view.shown.end(), [](const std::string& shown) {
        return shown.find("excel red, status MS Excel is blocked -Start") != std::string::npos;
    });
    ASSERT_NE(blocked, view.shown.end());
    EXPECT_TRUE(std::none_of(blocked, view.shown.end(), [](const std::string& shown) {
        return shown.find("excel green") != std::string::npos;
    }));
    const int rowsKept = run.parser().rowsWritten();
    EXPECT_GT(rowsKept, 0);
    EXPECT_LT(rowsKept, 30);
    EXPECT_EQ(testing_support::readFile(run.journal().path()), sent);

    run.stop();
    EXPECT_FALSE(run.everyLineWritten());
    EXPECT_EQ(run.parser().rowsWritten(), rowsKept);
    EXPECT_THAT(view.shown.back(), testing::HasSubstr("the received text is in the journal"));
}

TEST_F(RunFixture, PauseResumeAndStartDoNothingOutOfTheirState)
{
    run.resume();
    run.pause();
    EXPECT_THAT(view.shown, IsEmpty());
    EXPECT_EQ(run.state(), RunState::Stopped);
    run.start();
    run.pause();
    EXPECT_FALSE(run.start());
    EXPECT_EQ(spreadsheets.made.size(), 1u);
    EXPECT_EQ(run.state(), RunState::Paused);
}

struct BlockCase {
    const char* name;
    SpreadsheetFailure failure;
    std::string_view text;
};

class BlockCases : public RunFixture, public testing::WithParamInterface<BlockCase> {};

TEST_P(BlockCases, AFailedWriteWaitsForTheWorkbookAndLosesNothing)
{
    run.start();
    spreadsheets.last().failNextCall("writeText", GetParam().failure);
    spreadsheets.last().failCall("workbookName");
    port.received = "1\r\n2\r\n";
    tick();
    EXPECT_TRUE(run.excelBlocked());
    // The reason stays, the count beside it.
    EXPECT_EQ(view.shown.back(), runningBlocked(std::string(GetParam().text) + "; Bytes Received: 6"));

    // While the probe fails nothing is written, but the journal keeps taking the text.
    port.received = "3\r\n";
    tick();
    tick();
    EXPECT_EQ(port.received, "");
    EXPECT_EQ(view.shown.back(), runningBlocked(std::string(GetParam().text) + "; Bytes Received: 9"));
    EXPECT_EQ(testing_support::readFile(run.journal().path()), "1\r\n2\r\n3\r\n");
    EXPECT_TRUE(view.timerOn);
    if (GetParam().failure != SpreadsheetFailure::Failed) {
        // A workbook that never comes back: Stop still tells the whole count.
        run.stop();
        EXPECT_THAT(view.shown, testing::Contains(testing::HasSubstr("Bytes Received: 9")));
        return;
    }

    spreadsheets.last().succeedCall("workbookName");
    const std::size_t before = view.shown.size();
    tick();
    EXPECT_FALSE(run.excelBlocked());
    // The text came while blocked: its count shows once the workbook answers.
    EXPECT_THAT(shownSince(before), ElementsAre(running("Bytes Received: 9")));
    std::vector<std::string> written;
    for (const auto& [place, value] : spreadsheets.last().cells)
        written.push_back(std::get<std::string>(value));
    EXPECT_THAT(written, ElementsAre("1", "2", "3"));
}

INSTANTIATE_TEST_SUITE_P(CaptureRun, BlockCases,
                         testing::Values(BlockCase{"Busy", SpreadsheetFailure::Failed, kExcelBlockedText},
                                         BlockCase{"Closed", SpreadsheetFailure::Gone, kExcelClosedText},
                                         BlockCase{"Ended", SpreadsheetFailure::Ended, kExcelEndedText}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RunFixture, TheCountAfterABlockedWriteIsGroupedInThousands)
{
    run.start();
    spreadsheets.last().failNextCall("writeText");
    spreadsheets.last().failCall("workbookName");
    port.received = std::string(1500, '7') + "\r\n";
    tick();
    spreadsheets.last().succeedCall("workbookName");
    tick();
    EXPECT_EQ(view.shown.back(), running("Bytes Received: 1,502"));
}

TEST_F(RunFixture, APortLostPausesAndResumeKeepsAWorkbookThatIsStillBlocked)
{
    run.start();
    port.received = "1\r\n";
    tick();
    port.loseLink();
    const std::string lost = " -Start +Stop -Pause +Resume -ComPorts, front Resume";
    // The workbook's lamp is left as it was: only the port failed.
    EXPECT_EQ(view.shown.back(), "port red, status COM port not available" + lost);
    EXPECT_EQ(run.state(), RunState::Paused);
    EXPECT_TRUE(run.portLost());
    run.resume();
    EXPECT_EQ(view.shown.back(), running("Bytes Received: 3"));

    spreadsheets.last().failNextCall("writeText");
    spreadsheets.last().failCall("workbookName");
    port.received = "2\r\n";
    tick();
    port.loseLink();
    EXPECT_EQ(view.shown.back(), "port red, excel red, status COM port not available" + lost);
    // Resumed, the workbook still does not answer: its lamp stays red and Pause disabled.
    run.resume();
    EXPECT_EQ(view.shown.back(),
              "port green, excel red, status Bytes Received: 6 -Start +Stop -Pause -Resume "
              "-ComPorts, front Pause");
    EXPECT_TRUE(run.excelBlocked());
}

TEST_F(RunFixture, ALostLinkTellsItsSourcesReasonUnderTheStatus)
{
    const struct {
        const char* name;
        bool emulatorFeeds;
        std::function<void(RunFixture&)> lose;
        std::string reason;
    } cases[] = {
        {"port", false, [](RunFixture& fixture) { fixture.port.loseLink(); },
         "The connection to COM1 was lost: the cable or adapter was unplugged or the instrument was switched "
         "off. Reconnect it. Then press Resume."},
        {"emulator", true, [](RunFixture& fixture) { fixture.handover.turnOff(); },
         std::string(kEmulatorClosedReason) + " Then press Resume."},
    };
    for (const auto& lost : cases) {
        if (lost.emulatorFeeds)
            handover.turnOn();
        run.start();
        ASSERT_EQ(run.state(), RunState::Running) << lost.name;
        EXPECT_EQ(port.isOpen(), !lost.emulatorFeeds) << lost.name;
        lost.lose(*this);
        EXPECT_EQ(run.state(), RunState::Paused) << lost.name;
        EXPECT_EQ(run.picture().phase, RunPhase::PortLost) << lost.name;
        EXPECT_EQ(run.picture().reason, lost.reason) << lost.name;
        run.stop();
    }
}

struct StopCase {
    const char* name;
    bool macroEnabled;
    std::function<void(RunFixture&)> before;
    bool macroRuns;
    std::string_view status;  // what the stopped window keeps of the run
};

constexpr std::string_view kUnfinishedRun = "Stopped: 10 bytes, 1 row in";

class StopCases : public RunFixture, public testing::WithParamInterface<StopCase> {};

TEST_P(StopCases, ShowsTheStoppedWindowAndRunsTheMacroOnlyWithAWorkbook)
{
    run.setMacro(GetParam().macroEnabled, " Chart");
    GetParam().before(*this);
    port.received = "unfinished";
    tick();
    run.stop();
    // A paused run has not read the port: Stop takes the text in first and counts it.
    EXPECT_EQ(view.shown.back(), stopped(GetParam().status));
    EXPECT_EQ(run.picture().path, GetParam().status.empty() ? "" : spreadsheets.workingCopy);
    EXPECT_EQ(run.state(), RunState::Stopped);
    EXPECT_FALSE(view.timerOn);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(run.parser().bytesReceived(), 0);
    EXPECT_TRUE(run.parser().receiveBuffer().empty());
    const bool ran =
        !spreadsheets.made.empty() && spreadsheets.last().calls.back() == "runMacro spreadsheet.ods! Chart";
    EXPECT_EQ(ran, GetParam().macroRuns);
    // The unfinished line is written as it stands whenever a workbook was open.
    if (GetParam().macroRuns) {
        EXPECT_EQ(std::get<std::string>(spreadsheets.last().cells.at({1, 1})), "unfinished");
    }
}

INSTANTIATE_TEST_SUITE_P(CaptureRun, StopCases,
                         testing::Values(StopCase{"BeforeAnyStart", true, [](RunFixture&) {}, false, ""},
                                         StopCase{"RunningWithMacro", true,
                                                  [](RunFixture& f) { f.run.start(); }, true, kUnfinishedRun},
                                         StopCase{"RunningWithoutMacro", false,
                                                  [](RunFixture& f) { f.run.start(); }, false,
                                                  kUnfinishedRun},
                                         StopCase{"Paused", true,
                                                  [](RunFixture& f) {
                                                      f.run.start();
                                                      f.run.pause();
                                                  },
                                                  true, kUnfinishedRun},
                                         StopCase{"AfterNoWorkbook", true,
                                                  [](RunFixture& f) {
                                                      f.spreadsheets.prepare = [](auto& s) {
                                                          s.failCall("openCaptureWorkbook");
                                                      };
                                                      f.run.start();
                                                  },
                                                  false, ""}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RunFixture, AMacroInAClosedWorkbookIsShownNotThrown)
{
    run.setMacro(true, "Chart");
    run.start();
    spreadsheets.last().failCall("runMacro", SpreadsheetFailure::Gone);
    run.stop();
    // The stopped window is shown, the run buttons wait while the macro runs, then the
    // stopped window again and the failure.
    const std::string summary = stopped("Stopped: 0 bytes, 0 rows in");
    EXPECT_THAT(
        shownSince(view.shown.size() - 4),
        ElementsAre(summary, "status Running the end-of-run macro Chart -Start -Stop -Pause -Resume", summary,
                    "port background, excel red, status MS Excel spreadsheet has been closed "
                    "+Start -Stop -Pause -Resume +ComPorts, front Pause"));
}

TEST_F(RunFixture, AMacroRunningInTheBackgroundHoldsOffTheNextStart)
{
    testing_support::ensureCoreApplication();
    ThreadStep steps;
    run.runSlowStepsWith(steps);
    run.setMacro(true, "Chart");
    run.start();
    ASSERT_TRUE(testing_support::runEventsUntil([this] { return run.state() == RunState::Running; }, 30s));
    run.stop();
    EXPECT_TRUE(run.runningMacro());
    EXPECT_FALSE(run.start());
    ASSERT_TRUE(testing_support::runEventsUntil([this] { return !run.runningMacro(); }, 30s));
    EXPECT_EQ(spreadsheets.last().calls.back(), "runMacro spreadsheet.ods!Chart");
    EXPECT_EQ(view.shown.back(), stopped("Stopped: 0 bytes, 0 rows in"));
}

TEST_F(RunFixture, EndingStopsAnOpenRunWithItsMacroAndQuitsTheLastInstance)
{
    run.setMacro(true, "Chart");
    run.start();
    run.pause();
    run.stopIfOn();
    EXPECT_EQ(run.state(), RunState::Stopped);
    run.quitSpreadsheet();
    const auto& calls = spreadsheets.last().calls;
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[calls.size() - 2], "runMacro spreadsheet.ods!Chart");
    EXPECT_EQ(calls.back(), "quit");
    EXPECT_EQ(run.application(), nullptr);
}

TEST_F(RunFixture, EachStartNamesItsWorkingCopyAfterItsJournal)
{
    for (int start = 0; start < 2; ++start) {
        ASSERT_TRUE(run.start());
        run.stop();
        run.finishStopping();
        ASSERT_EQ(spreadsheets.runNames.size(), static_cast<std::size_t>(start + 1));
        EXPECT_EQ(spreadsheets.runNames.back() + ".txt",
                  std::filesystem::path(run.journal().path()).filename());
    }
}

// K7RX-style lines whose second token is their number, from 1 on.
std::string numberedLines(int count)
{
    std::string text;
    for (int line = 1; line <= count; ++line)
        text += "0 " + std::to_string(line) + " :: 12-07-2026 05:10:26 = 57 (RAW)  43 (C)\r\n";
    return text;
}

std::string journalText(const CaptureRun& run)
{
    return testing_support::readFile(run.journal().path());
}

TEST_F(RunFixture, TheReadsFileKeepsEachReadEachStampTimeAndTheStop)
{
    constexpr std::int32_t kNoon30 = 13 * 3600 * 1000 + 1800 * 1000;  // what FixedTime says
    run.start();
    port.received = "a\r\n";
    tick();
    tick();  // nothing came: no read is kept
    // The workbook refuses the block's rows: the next read comes before they are written,
    // and the stamp is written again with the clock's new answer.
    spreadsheets.last().failNextCall("writeRow");
    port.received = "\r\n\r\n\r\nb\r\nc";
    tick();
    port.received = "d";
    tick();
    run.stop();
    const std::string expected = std::string(kReadsHeader) + readLine(3, 0, kNoon30) +
                                 readLine(13, 3, kNoon30) + clockLine(3, kNoon30) + readLine(14, 3, kNoon30) +
                                 clockLine(3, kNoon30) + stopLine(14, true);
    EXPECT_EQ(testing_support::readFile(run.journal().path() + ".reads"), expected);
}

TEST_F(RunFixture, ABacklogIsWrittenOverSeveralTicksInOrderAndPauseActsAtOnce)
{
    constexpr int kLines = 50000;  // about 2.7 MB: far more than one tick's time allows
    run.start();
    port.received = numberedLines(kLines);
    tick();
    EXPECT_EQ(view.rearmedAtOnce, 1);
    EXPECT_THAT(view.shown.back(),
                testing::StartsWith("port green, excel green, status Writing received lines: "));
    EXPECT_THAT(view.shown.back(),
                testing::EndsWith(" bytes waiting -Start +Stop +Pause -Resume -ComPorts, front Pause"));
    const std::size_t written = spreadsheets.last().cells.size();
    EXPECT_GT(written, 0u);

    // A Pause during the tick's events leaves the rest waiting; the timer journals on.
    tick([this] { run.pause(); });
    EXPECT_TRUE(view.timerOn);
    const std::size_t pausedAt = spreadsheets.last().cells.size();
    tick();
    EXPECT_EQ(spreadsheets.last().cells.size(), pausedAt);

    run.resume();
    for (int ticks = 0; view.timerOn && ticks < 1000 && run.bytesWaiting() > 0; ++ticks)
        tick();
    EXPECT_EQ(run.parser().receiveBuffer(), "");
    EXPECT_EQ(view.shown.back(),
              running(bytesReceivedText(static_cast<std::int64_t>(numberedLines(kLines).size()))));
    // Every line in its own row, in the order sent.
    const auto& cells = spreadsheets.last().cells;
    EXPECT_EQ(cells.size(), 8u * kLines);
    for (int row = 1; row <= kLines; row += 997)
        EXPECT_EQ(std::get<std::string>(cells.at({row, 2})), std::to_string(row));
    EXPECT_EQ(journalText(run), numberedLines(kLines));
}

TEST_F(RunFixture, ATickThatTookPlentyComesAgainAtOnceWhateverTheState)
{
    // A device faster than the timer is read as fast as it sends, paused or not; a line at
    // the instrument's pace waits for the timer. Each line here is written within its tick.
    const std::string plenty(static_cast<std::size_t>(kPlentyOfText), 'x');
    struct Case {
        const char* name;
        std::string received;
        bool paused;
        int rearmed;
    };
    const Case cases[] = {
        {"a line at the instrument's pace", "12.5\r\n", false, 0},
        {"plenty while running", plenty + "\r\n", false, 1},
        {"plenty while paused", plenty + "\r\n", true, 1},
        {"nothing", "", false, 0},
    };
    run.start();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.paused ? run.pause() : run.resume();
        view.rearmedAtOnce = 0;
        port.received = c.received;
        tick();
        EXPECT_EQ(view.rearmedAtOnce, c.rearmed);
    }
}

// A port read on a thread of its own tells when plenty waits: the run takes it at once, not
// at its next tick, whether the notice comes between ticks or during one; a stopped run
// reads nothing and is not woken.
TEST_F(RunFixture, PlentyWaitingInThePortBringsTheNextTickForward)
{
    struct Case {
        const char* name;
        bool paused;
        bool duringTick;
        bool stopped;
        int rearmed;
    };
    const Case cases[] = {
        {"running, between ticks", false, false, false, 1},
        {"running, during a tick", false, true, false, 1},
        {"paused, between ticks", true, false, false, 1},
        {"stopped", false, false, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        run.start();
        if (c.paused)
            run.pause();
        if (c.stopped)
            run.stop();
        view.rearmedAtOnce = 0;
        port.received = "12.5\r\n";
        if (c.duringTick)
            tick([&] { port.tellArrival(); });
        else
            port.tellArrival();
        EXPECT_EQ(view.rearmedAtOnce, c.rearmed);
        if (!c.stopped)
            run.stop();
    }
}

TEST_F(RunFixture, StopWritesTheBacklogAndTheUnfinishedLineBeforeTheMacro)
{
    run.setMacro(true, "Chart");
    run.start();
    port.received = numberedLines(30000) + "tail\t1";
    tick();
    run.stop();
    for (int ticks = 0; run.stopping() && ticks < 1000; ++ticks)
        tick();
    const auto& sheet = spreadsheets.last();
    EXPECT_EQ(std::get<std::string>(sheet.cells.at({30000, 2})), "30000");
    EXPECT_EQ(std::get<std::string>(sheet.cells.at({30001, 1})), "tail");
    EXPECT_EQ(std::get<std::string>(sheet.cells.at({30001, 2})), "1");
    EXPECT_EQ(sheet.calls.back(), "runMacro spreadsheet.ods!Chart");
    EXPECT_EQ(journalText(run), numberedLines(30000) + "tail\t1");
}

TEST_F(RunFixture, AStopWithALargeBacklogWritesItOverTicksWithTheButtonsDisabled)
{
    constexpr int kLines = 50000;  // far more than one tick's time allows
    run.setMacro(true, "Chart");
    run.start();
    port.received = numberedLines(kLines);
    run.stop();
    ASSERT_TRUE(run.stopping());
    EXPECT_EQ(view.rearmedAtOnce, 1);
    // Every run button is disabled while the backlog is written, the lamps left as they were.
    EXPECT_THAT(view.shown.back(), testing::StartsWith("status Writing received lines: "));
    EXPECT_THAT(view.shown.back(), testing::EndsWith(" bytes waiting -Start -Stop -Pause -Resume"));
    EXPECT_FALSE(run.start());  // nothing starts while the last run is still being written
    EXPECT_NE(spreadsheets.last().calls.back(), "runMacro spreadsheet.ods!Chart");

    for (int ticks = 0; run.stopping() && ticks < 1000; ++ticks)
        tick();
    EXPECT_FALSE(run.stopping());
    EXPECT_EQ(spreadsheets.last().cells.size(), 8u * kLines);
    EXPECT_EQ(spreadsheets.last().calls.back(), "runMacro spreadsheet.ods!Chart");
    EXPECT_EQ(view.shown.back(),
              stopped("Stopped: " + groupedDigits(numberedLines(kLines).size()) + " bytes, 50,000 rows in"));
    EXPECT_FALSE(view.timerOn);
}

TEST_F(RunFixture, TheJournalTakesTheEmulatorsTextAndAFailingOneIsToldOnce)
{
    testing_support::writeText(data.file("journal"), "a file where the folder should be");
    run.start();
    EXPECT_THAT(view.shown,
                testing::Contains(testing::HasSubstr("status The capture journal cannot be written: ")));
    handover.turnOn();
    handover.say("9999\r\n");
    tick();
    handover.say("9998\r\n");
    tick();
    // The capture goes on, and the failure is not told again.
    EXPECT_EQ(spreadsheets.last().cells.size(), 2u);
    EXPECT_EQ(std::count_if(
                  view.shown.begin(), view.shown.end(),
                  [](const std::string& line) { return line.find("journal cannot") != std::string::npos; }),
              1);
}

TEST_F(RunFixture, AJournalThatLostBytesSaysSoBesideTheCountUntilTheNextStart)
{
    const std::string blocker = data.file("journal");
    testing_support::writeText(blocker, "a file where the folder should be");
    run.start();
    handover.turnOn();
    handover.say("9999\r\n");
    tick();
    // The count goes on, and the reason the journal is short stays in view beside it.
    EXPECT_EQ(run.picture().bytesReceived, 6);
    EXPECT_THAT(run.picture().reason, testing::StartsWith("The capture journal cannot be written: "));
    run.stop();
    EXPECT_THAT(run.picture().status, testing::StartsWith("Stopped: 6 bytes, 1 row"));
    EXPECT_THAT(run.picture().reason, testing::StartsWith("The capture journal cannot be written: "));

    std::filesystem::remove(blocker);
    run.start();
    handover.say("9998\r\n");
    tick();
    EXPECT_EQ(run.picture().bytesReceived, 6);
    EXPECT_EQ(run.picture().reason, "");
}

// Collects the messages of the capture's logging categories, all of them turned on.
class LogCapture {
public:
    LogCapture()
    {
        QLoggingCategory::setFilterRules(QStringLiteral("tabwright.*=true"));
        previous_ =
            qInstallMessageHandler([](QtMsgType, const QMessageLogContext& context, const QString& text) {
                lines().push_back(std::string(context.category) + " " + text.toStdString());
            });
    }
    ~LogCapture()
    {
        qInstallMessageHandler(previous_);
        QLoggingCategory::setFilterRules(QString());
        lines().clear();
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    static std::vector<std::string>& lines()
    {
        static std::vector<std::string> all;
        return all;
    }

private:
    QtMessageHandler previous_;
};

TEST_F(RunFixture, FailureReasonsGoToTheLogOfTheirAreaWhenTurnedOn)
{
    LogCapture log;
    spreadsheets.prepare = [](auto& s) { s.failCall("newInstance"); };
    run.start();
    spreadsheets.prepare = nullptr;
    port.refuseOpen = true;
    run.start();
    EXPECT_THAT(
        LogCapture::lines(),
        ElementsAre(
            "tabwright.capture Start failed: LibreOffice Calc did not start: newInstance failed as told",
            testing::StartsWith("tabwright.serial COM1: ")));
}

TEST_F(RunFixture, NothingIsLoggedUnlessTurnedOn)
{
    std::vector<std::string> messages;
    static std::vector<std::string>* seen = nullptr;
    seen = &messages;
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
            seen->push_back(text.toStdString());
        });
    port.refuseOpen = true;
    run.start();
    qInstallMessageHandler(previous);
    EXPECT_THAT(messages, IsEmpty());
}

}  // namespace
}  // namespace tabwright

namespace tabwright {
namespace {

// Every row a row watcher is shown, as "row column cells".
class WatchedRows : public RowSink {
public:
    void writeRow(int row, int firstColumn, std::span<const CellValue> values) override
    {
        std::string line = std::to_string(row);
        line.append(" ")
            .append(std::to_string(firstColumn))
            .append(" ")
            .append(std::to_string(values.size()));
        rows.push_back(line);
    }
    std::vector<std::string> rows;
};

TEST_F(RunFixture, TheRowWatcherSeesEveryRowOnceAfterTheSheetTookIt)
{
    WatchedRows watcher;
    run.setRowWatcher(&watcher);
    run.start();
    port.received = "a\tb\r\n";
    tick();
    EXPECT_THAT(watcher.rows, ElementsAre("1 1 2"));
    // A refused write shows nothing; written again once the workbook answers, it is shown once.
    spreadsheets.last().failNextCall("writeRow");
    port.received = "c\r\n";
    tick();
    EXPECT_THAT(watcher.rows, ElementsAre("1 1 2"));
    for (int ticks = 0; ticks < 10 && watcher.rows.size() < 2; ++ticks)
        tick();
    port.received = "tail";
    tick();
    run.stop();
    for (int ticks = 0; run.stopping() && ticks < 100; ++ticks)
        tick();
    EXPECT_THAT(watcher.rows, ElementsAre("1 1 2", "2 1 1", "3 1 1"));
    run.setRowWatcher(nullptr);
}

std::vector<std::string> seriesOf(const common::ReadingSet& readings)
{
    std::vector<std::string> described;
    for (const common::ReadingSeries& series : readings.all()) {
        std::string line = series.name();
        line.append(":");
        for (std::size_t i = 0; i < series.size(); ++i)
            line.append(" ")
                .append(std::to_string(series.time(i)))
                .append("=")
                .append(std::to_string(series.value(i)));
        described.push_back(line);
    }
    return described;
}

TEST_F(RunFixture, AJournalsChartEqualsTheChartOfItsLiveRun)
{
    RunReadings live(clock);
    run.setRowWatcher(&live);
    run.start();
    port.received = "0 0001 :: 12-07-2026 23:59:59 = 57 (RAW)  21 (C)\r\n0 0002 :: 12-08-2026 00:00:01 = 5";
    tick();
    port.received = "8 (RAW)  22 (C)\r\n0 0003 :: = 59 (RAW)  23 (C)\r\n\r\n\r\n\r\n9999\r\n9998\r\n";
    tick();
    port.received = "\r\n\r\n\r\n9997\t10000\r\n";
    tick();
    run.stop();
    for (int ticks = 0; run.stopping() && ticks < 100; ++ticks)
        tick();
    run.setRowWatcher(nullptr);
    ASSERT_EQ(live.readings().find("Reading (RAW)")->size(), 3u);
    ASSERT_EQ(live.readings().find("Reading")->size(), 3u);

    class Elsewhen : public TimeOfDay {
        std::int32_t millisecondsSinceMidnight() override { return 3 * 3600 * 1000; }
    } replayTime;
    common::ReadingSet replayed;
    EXPECT_THAT(chartJournal(run.journal().path(), replayed, replayTime), IsEmpty());
    EXPECT_EQ(seriesOf(replayed), seriesOf(live.readings()));
}

}  // namespace
}  // namespace tabwright
