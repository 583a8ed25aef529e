#include "tabwright/capture/capture_run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tabwright/testing/recording_spreadsheet_factory.h"
#include "testing/file_contents.h"
#include "testing/scripted_prompter.h"
#include "testing/temp_folder.h"

namespace tabwright {
namespace {

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
    void setBytesArrivedHandler(std::function<void()>) override {}
    void setLinkLostHandler(std::function<void(const serial::PortError&)>) override {}

    std::string received;
    bool refuseOpen = false;

private:
    int number_ = 1;
    bool open_ = false;
};

// Writes down what the run shows, one line per call, and whether its timer runs.
class RecordingView : public RunView, public RunTimer {
public:
    void showBytesReceived(std::int64_t count) override { shown.push_back("bytes " + std::to_string(count)); }
    void showLamp(Lamp lamp, LampColour colour) override
    {
        static const char* colours[] = {"yellow", "green", "red", "background"};
        shown.push_back(std::string(lamp == Lamp::ComPort ? "port " : "excel ") +
                        colours[static_cast<int>(colour)]);
    }
    void showStatus(std::string_view text) override { shown.push_back("status " + std::string(text)); }
    void enableButton(RunButton button, bool enabled) override
    {
        shown.push_back(std::string(enabled ? "enable " : "disable ") + name(button));
    }
    void bringToFront(RunButton button) override { shown.push_back(std::string("front ") + name(button)); }
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

private:
    static const char* name(RunButton button)
    {
        static const char* names[] = {"Start", "Stop", "Pause", "Resume", "ComPorts"};
        return names[static_cast<int>(button)];
    }
};

class FixedTime : public TimeOfDay {
public:
    std::int32_t millisecondsSinceMidnight() override { return 13 * 3600 * 1000 + 1800 * 1000; }
};

struct RunFixture : testing::Test {
    FakePort port;
    RecordingSpreadsheetFactory spreadsheets;
    EmulatorHandover handover;
    FixedTime clock;
    RecordingView view;
    testing_support::ScriptedPrompter prompter;
    testing_support::TempFolder data;
    CaptureRun run{CaptureRunParts{spreadsheets, port, handover, clock, view, view, prompter, data.path()}};

    void tick(const std::function<void()>& duringEvents = [] {}) { run.tick(duringEvents); }
    std::vector<std::string> shownSince(std::size_t from) const
    {
        return {view.shown.begin() + static_cast<std::ptrdiff_t>(from), view.shown.end()};
    }
};

const std::vector<std::string> kOpeningWorkbook{"excel yellow", "status Opening MS Excel Spreadsheet"};

struct StartCase {
    const char* name;
    std::function<void(RunFixture&)> arrange;
    bool runs;
    std::vector<std::string> shownAfterOpening;
};

class StartCases : public RunFixture, public testing::WithParamInterface<StartCase> {};

TEST_P(StartCases, ShowsEachStepInOrderAndEndsInItsState)
{
    GetParam().arrange(*this);
    EXPECT_EQ(run.Start(), GetParam().runs);
    std::vector<std::string> expected = kOpeningWorkbook;
    expected.insert(expected.end(), GetParam().shownAfterOpening.begin(), GetParam().shownAfterOpening.end());
    EXPECT_THAT(view.shown, ElementsAreArray(expected));
    EXPECT_EQ(run.state(), GetParam().runs ? RunState::Running : RunState::Stopped);
    EXPECT_EQ(view.timerOn, GetParam().runs);
    EXPECT_EQ(port.isOpen(), GetParam().runs);
}

INSTANTIATE_TEST_SUITE_P(
    CaptureRun, StartCases,
    testing::Values(StartCase{"Opens",
                              [](RunFixture&) {},
                              true,
                              {"excel green", "status ", "port yellow", "status Opening COM port",
                               "port green", "status Ready", "disable Start", "enable Stop", "enable Pause",
                               "front Pause", "disable Resume", "disable ComPorts", "window front"}},
                    StartCase{"NoInstance",
                              [](RunFixture& f) {
                                  f.spreadsheets.prepare = [](auto& s) { s.failCall("newInstance"); };
                              },
                              false,
                              {"excel red", "status MS Excel not available"}},
                    StartCase{"NoWorkbook",
                              [](RunFixture& f) {
                                  f.spreadsheets.prepare = [](auto& s) { s.failCall("openCaptureWorkbook"); };
                              },
                              false,
                              {"excel red", "status MS Excel not available"}},
                    StartCase{"NoApplicationAtAll",
                              [](RunFixture& f) { f.spreadsheets.failMaking = true; },
                              false,
                              {"excel red", "status MS Excel not available"}},
                    StartCase{"NoPort",
                              [](RunFixture& f) { f.port.refuseOpen = true; },
                              false,
                              {"excel green", "status ", "port yellow", "status Opening COM port", "port red",
                               "status COM port not available"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RunFixture, AnApplicationThatCannotBeMadeIsToldWithItsReason)
{
    spreadsheets.failMaking = true;
    EXPECT_FALSE(run.Start());
    EXPECT_THAT(prompter.messages, ElementsAre("no spreadsheet application, as told"));
}

TEST_F(RunFixture, FailureAKeepsTheInstanceAndFailureBQuitsIt)
{
    spreadsheets.prepare = [](auto& s) { s.failCall("openCaptureWorkbook"); };
    run.Start();
    EXPECT_EQ(run.ExcelApp(), spreadsheets.made.back().get());
    EXPECT_THAT(spreadsheets.last().calls, testing::Not(testing::Contains("quit")));

    spreadsheets.prepare = nullptr;
    port.refuseOpen = true;
    run.Start();
    EXPECT_EQ(run.ExcelApp(), nullptr);
    EXPECT_EQ(spreadsheets.last().calls.back(), "quit");
}

TEST_F(RunFixture, TickReadsWritesAndRearmsOnlyWhileRunning)
{
    run.Start();
    port.received = "0 0001 :: 12-07-2026 = 57\r\nA\tB";
    tick();
    EXPECT_EQ(spreadsheets.last().cells.size(), 4u);
    EXPECT_EQ(run.parser().ReceiveBuffer(), "A\tB");
    EXPECT_EQ(view.shown.back(), "bytes 30");
    EXPECT_TRUE(view.timerOn);

    // A Pause clicked while the tick runs the pending events leaves the timer off.
    port.received = "\r\n";
    tick([this] { run.Pause(); });
    EXPECT_FALSE(view.timerOn);
    EXPECT_EQ(run.state(), RunState::Paused);
    EXPECT_EQ(std::get<std::string>(spreadsheets.last().cells.at({2, 2})), "B");
}

TEST_F(RunFixture, NothingIsReadWhilePausedAndResumeShowsTheCount)
{
    run.Start();
    run.Pause();
    port.received = "1\r\n";
    tick();
    EXPECT_EQ(port.received, "1\r\n");
    std::size_t before = view.shown.size();
    run.Resume();
    EXPECT_THAT(shownSince(before), ElementsAre("disable Resume", "enable Pause", "front Pause", "port green",
                                                "excel green", "status Ready"));
    tick();
    run.Pause();
    before = view.shown.size();
    run.Resume();
    EXPECT_EQ(view.shown.back(), "bytes 3");
    EXPECT_TRUE(view.timerOn);
}

TEST_F(RunFixture, PauseResumeAndStartDoNothingOutOfTheirState)
{
    run.Resume();
    run.Pause();
    EXPECT_THAT(view.shown, IsEmpty());
    EXPECT_EQ(run.state(), RunState::Stopped);
    run.Start();
    run.Pause();
    EXPECT_FALSE(run.Start());
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
    run.Start();
    spreadsheets.last().failNextCall("writeText", GetParam().failure);
    spreadsheets.last().failCall("workbookName");
    port.received = "1\r\n2\r\n";
    tick();
    EXPECT_TRUE(run.ExcelBlocked());
    EXPECT_THAT(shownSince(view.shown.size() - 3),
                ElementsAre("excel red", "status " + std::string(GetParam().text), "disable Pause"));

    // While the probe fails nothing is written, but the journal keeps taking the text.
    port.received = "3\r\n";
    tick();
    tick();
    EXPECT_EQ(port.received, "");
    EXPECT_EQ(testing_support::readFile(run.journal().path()), "1\r\n2\r\n3\r\n");
    EXPECT_TRUE(view.timerOn);
    if (GetParam().failure == SpreadsheetFailure::Gone) {
        // A workbook that never comes back: Stop still tells the whole count.
        run.Stop();
        EXPECT_THAT(view.shown, testing::Contains("bytes 9"));
        return;
    }

    spreadsheets.last().succeedCall("workbookName");
    const std::size_t before = view.shown.size();
    tick();
    EXPECT_FALSE(run.ExcelBlocked());
    EXPECT_THAT(shownSince(before), ElementsAre("excel green", "status Bytes Received: 9", "enable Pause"));
    std::vector<std::string> written;
    for (const auto& [place, value] : spreadsheets.last().cells)
        written.push_back(std::get<std::string>(value));
    EXPECT_THAT(written, ElementsAre("1", "2", "3"));
}

INSTANTIATE_TEST_SUITE_P(CaptureRun, BlockCases,
                         testing::Values(BlockCase{"Busy", SpreadsheetFailure::Failed, kExcelBlockedText},
                                         BlockCase{"Closed", SpreadsheetFailure::Gone, kExcelClosedText}),
                         [](const auto& info) { return std::string(info.param.name); });

struct StopCase {
    const char* name;
    bool macroEnabled;
    std::function<void(RunFixture&)> before;
    bool macroRuns;
};

class StopCases : public RunFixture, public testing::WithParamInterface<StopCase> {};

TEST_P(StopCases, ShowsTheStoppedWindowAndRunsTheMacroOnlyWithAWorkbook)
{
    run.setMacro(GetParam().macroEnabled, " Chart");
    GetParam().before(*this);
    port.received = "unfinished";
    tick();
    run.Stop();
    // A paused run has not read the port: Stop takes the text in first and counts it.
    EXPECT_THAT(shownSince(view.shown.size() - 9),
                ElementsAre("port background", "excel background", "status ", "disable Stop", "enable Start",
                            "disable Pause", "front Pause", "disable Resume", "enable ComPorts"));
    EXPECT_EQ(run.state(), RunState::Stopped);
    EXPECT_FALSE(view.timerOn);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(run.parser().BytesReceived(), 0);
    EXPECT_TRUE(run.parser().ReceiveBuffer().empty());
    const bool ran =
        !spreadsheets.made.empty() && spreadsheets.last().calls.back() == "runMacro spreadsheet.ods! Chart";
    EXPECT_EQ(ran, GetParam().macroRuns);
    // The unfinished line is written as it stands whenever a workbook was open.
    if (GetParam().macroRuns) {
        EXPECT_EQ(std::get<std::string>(spreadsheets.last().cells.at({1, 1})), "unfinished");
    }
}

INSTANTIATE_TEST_SUITE_P(
    CaptureRun, StopCases,
    testing::Values(StopCase{"BeforeAnyStart", true, [](RunFixture&) {}, false},
                    StopCase{"RunningWithMacro", true, [](RunFixture& f) { f.run.Start(); }, true},
                    StopCase{"RunningWithoutMacro", false, [](RunFixture& f) { f.run.Start(); }, false},
                    StopCase{"Paused", true,
                             [](RunFixture& f) {
                                 f.run.Start();
                                 f.run.Pause();
                             },
                             true},
                    StopCase{"AfterNoWorkbook", true,
                             [](RunFixture& f) {
                                 f.spreadsheets.prepare = [](auto& s) { s.failCall("openCaptureWorkbook"); };
                                 f.run.Start();
                             },
                             false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RunFixture, AMacroInAClosedWorkbookIsShownNotThrown)
{
    run.setMacro(true, "Chart");
    run.Start();
    spreadsheets.last().failCall("runMacro", SpreadsheetFailure::Gone);
    run.Stop();
    EXPECT_THAT(shownSince(view.shown.size() - 2),
                ElementsAre("excel red", "status MS Excel spreadsheet has been closed"));
}

TEST_F(RunFixture, EndingStopsOnlyARunningRunAndQuitsTheLastInstance)
{
    run.setMacro(true, "Chart");
    run.Start();
    run.Pause();
    run.stopIfRunning();
    EXPECT_EQ(run.state(), RunState::Paused);
    run.quitSpreadsheet();
    EXPECT_THAT(spreadsheets.last().calls, testing::Contains("quit"));
    EXPECT_THAT(spreadsheets.last().calls, testing::Not(testing::Contains("runMacro spreadsheet.ods!Chart")));
    EXPECT_EQ(run.ExcelApp(), nullptr);
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

TEST_F(RunFixture, ABacklogIsWrittenOverSeveralTicksInOrderAndPauseActsAtOnce)
{
    constexpr int kLines = 50000;  // about 2.7 MB: far more than one tick's time allows
    run.Start();
    port.received = numberedLines(kLines);
    tick();
    EXPECT_EQ(view.rearmedAtOnce, 1);
    EXPECT_THAT(view.shown.back(), testing::StartsWith("status Writing received lines: "));
    EXPECT_THAT(view.shown.back(), testing::EndsWith(" bytes waiting"));
    const std::size_t written = spreadsheets.last().cells.size();
    EXPECT_GT(written, 0u);

    // A Pause during the tick's events leaves the rest waiting and the timer off.
    tick([this] { run.Pause(); });
    EXPECT_FALSE(view.timerOn);
    const std::size_t pausedAt = spreadsheets.last().cells.size();
    tick();
    EXPECT_EQ(spreadsheets.last().cells.size(), pausedAt);

    run.Resume();
    for (int ticks = 0; view.timerOn && ticks < 1000 && run.parser().ReceiveBuffer().size(); ++ticks)
        tick();
    EXPECT_EQ(run.parser().ReceiveBuffer(), "");
    EXPECT_EQ(view.shown.back(), "bytes " + std::to_string(numberedLines(kLines).size()));
    // Every line in its own row, in the order sent.
    const auto& cells = spreadsheets.last().cells;
    EXPECT_EQ(cells.size(), 8u * kLines);
    for (int row = 1; row <= kLines; row += 997)
        EXPECT_EQ(std::get<std::string>(cells.at({row, 2})), std::to_string(row));
    EXPECT_EQ(journalText(run), numberedLines(kLines));
}

TEST_F(RunFixture, StopWritesTheBacklogAndTheUnfinishedLineBeforeTheMacro)
{
    run.setMacro(true, "Chart");
    run.Start();
    port.received = numberedLines(30000) + "tail\t1";
    tick();
    run.Stop();
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
    run.Start();
    port.received = numberedLines(kLines);
    run.Stop();
    ASSERT_TRUE(run.stopping());
    EXPECT_EQ(view.rearmedAtOnce, 1);
    EXPECT_THAT(view.shown, testing::IsSupersetOf({"disable Start", "disable Stop"}));
    EXPECT_THAT(view.shown.back(), testing::StartsWith("status Writing received lines: "));
    EXPECT_FALSE(run.Start());  // nothing starts while the last run is still being written
    EXPECT_NE(spreadsheets.last().calls.back(), "runMacro spreadsheet.ods!Chart");

    for (int ticks = 0; run.stopping() && ticks < 1000; ++ticks)
        tick();
    EXPECT_FALSE(run.stopping());
    EXPECT_EQ(spreadsheets.last().cells.size(), 8u * kLines);
    EXPECT_EQ(spreadsheets.last().calls.back(), "runMacro spreadsheet.ods!Chart");
    EXPECT_THAT(view.shown, testing::Contains("enable Start"));
    EXPECT_FALSE(view.timerOn);
}

TEST_F(RunFixture, TheJournalTakesTheEmulatorsTextAndAFailingOneIsToldOnce)
{
    testing_support::writeText(data.file("journal"), "a file where the folder should be");
    run.Start();
    EXPECT_THAT(view.shown,
                testing::Contains(testing::StartsWith("status The capture journal cannot be written: ")));
    handover.setEmulatorOpen(true);
    handover.leaveOutput("9999\r\n");
    tick();
    handover.leaveOutput("9998\r\n");
    tick();
    // The capture goes on, and the failure is not told again.
    EXPECT_EQ(spreadsheets.last().cells.size(), 2u);
    EXPECT_EQ(std::count_if(
                  view.shown.begin(), view.shown.end(),
                  [](const std::string& line) { return line.find("journal cannot") != std::string::npos; }),
              1);
}

}  // namespace
}  // namespace tabwright
