#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/core/prompter.h"
#include "tabwright/capture/background_step.h"
#include "tabwright/capture/capture_parser.h"
#include "tabwright/capture/capture_pipeline.h"
#include "tabwright/capture/recording_time_of_day.h"
#include "tabwright/capture/run_journal.h"
#include "tabwright/capture/run_view.h"
#include "tabwright/capture/spreadsheet.h"
#include "tabwright/capture/spreadsheet_factory.h"
#include "tabwright/capture/text_source.h"
#include "tabwright/capture/time_of_day.h"

namespace tabwright {

enum class RunState : std::int16_t { Stopped = 0, Running = 1, Paused = -1 };

inline constexpr std::string_view kExcelBlockedText = "MS Excel is blocked";
inline constexpr std::string_view kExcelClosedText = "MS Excel spreadsheet has been closed";
inline constexpr std::string_view kExcelEndedText = "MS Excel has ended";
inline constexpr std::string_view kPortNotAvailableText = "COM port not available";

// How long one tick writes waiting lines before it lets the window answer again, and the
// most cells handed to the spreadsheet in one call.
inline constexpr std::chrono::milliseconds kWriteBudgetPerTick{50};
inline constexpr std::size_t kCellsPerWrite = 1000;
// A tick that took at least this much text comes again at once instead of after the
// timer's interval: a device that sends faster than the interval allows is read as fast
// as it sends, and never waits on the source's bounded read-ahead. A line at 9600 baud
// never sends this much in one interval.
inline constexpr std::int64_t kPlentyOfText = std::int64_t{4} << 10;

// What a capture run works with; all of it outlives the run.
struct CaptureRunParts {
    SpreadsheetFactory& spreadsheets;
    TextSource& source;  // where the text comes from, chosen by the owner
    TimeOfDay& clock;
    RunView& view;
    RunTimer& timer;
    common::Prompter& prompter;
    // Each run's journal: its queue and what a replay needs.
    RunJournal& journal;
};

// One capture from Start to Stop, again and again: the run states, the lamps, the status
// line and the buttons, the reading tick, and the spreadsheet application of the last
// Start. Plain C++: a window or a command line drives it through the calls below and sees
// it through RunView and RunTimer.
//
// Every byte the source gives goes to the run's journal at once, at every tick whatever
// the run's state (paused, blocked, writing a backlog): the journal is the run's queue,
// and the parser reads it back at the sheet's pace (CapturePipeline), so a backlog waits
// on the disk, not in memory, and survives a workbook or a program that is gone.
//
// A failed cell write blocks the run: the spreadsheet lamp turns red, the status tells
// why, Pause is disabled, and nothing more is written. Every tick then asks the workbook
// for its name; once it answers, the run goes on where the write failed. A paused run
// writes nothing either; Resume goes on from where the sheet stopped.
//
// A backlog is written in slices of kCellsPerWrite cells for at most kWriteBudgetPerTick
// a tick, the next tick following at once, so the window answers throughout. When the
// port goes away the run is paused with a red port lamp; Resume opens it again. Stop
// writes everything received, the unfinished last line included.
class CaptureRun {
public:
    explicit CaptureRun(CaptureRunParts parts);
    ~CaptureRun();
    CaptureRun(const CaptureRun&) = delete;
    CaptureRun& operator=(const CaptureRun&) = delete;
    CaptureRun(CaptureRun&&) = delete;
    CaptureRun& operator=(CaptureRun&&) = delete;

    // Opens a fresh capture workbook in a new spreadsheet application, then the port, and
    // runs. Returns whether it runs; a failure is shown by lamp and status. The instance
    // of the previous Start stays open for the user. Does nothing unless Stopped.
    // The application starts and opens the workbook through the background step (see
    // runSlowStepsWith): until that is done starting() is true, start() has returned
    // false, and Start goes on from the event loop.
    bool start();
    bool starting() const { return starting_; }
    // Whether the end-of-run macro of the last Stop is still running (see stop()).
    bool runningMacro() const { return runningMacro_; }
    // `watcher` (or nobody, with nullptr) is shown every row once the sheet took it, each
    // row once; it must outlive the run or be taken away first.
    void setRowWatcher(RowSink* watcher) { rowWatcher_ = watcher; }
    // Where the slow steps of the spreadsheet application run: at once by default, in a
    // thread of their own for a window that must keep answering. `steps` outlives the run.
    void runSlowStepsWith(BackgroundStep& steps) { steps_ = &steps; }
    void pause();   // only while Running
    void resume();  // only while Paused
    // In any state: writes what the port has received and every line still waiting, the
    // unfinished last one as it stands, closes the port and the journal, shows the stopped
    // window with the run's figures and working copy, and runs the end-of-run macro when it
    // is enabled and the last Start opened its capture workbook. The macro runs through the
    // background step, every run button disabled meanwhile (runningMacro()). Text the
    // workbook could not take is named in the status line by its journal.
    // A backlog too large for one tick's writing is written over the following ticks,
    // the window answering meanwhile (every run button disabled); the port, the journal
    // and the macro follow once it is written. stopping() is true until then.
    void stop();
    bool stopping() const { return stopping_; }
    // Writes what a Stop still has to write at once, then ends it.
    void finishStopping();

    // One tick of the reading timer: the timer off, the text taken into the journal and,
    // while Running, written, the pending events run by `processPendingEvents` (a Pause or
    // Stop may happen there), and the timer on again unless the run has stopped.
    void tick(const std::function<void()>& processPendingEvents);

    // The end of the owner: a Start under way finished, then Stop when a run is on,
    // running or paused, its macro included, then, separately, the spreadsheet
    // application of the last Start quit.
    void stopIfOn();
    void quitSpreadsheet();

    void setMacro(bool enabled, std::string name);
    bool macroEnabled() const { return macroEnabled_; }
    const std::string& macroName() const { return macroName_; }
    // Whether the last Stop was asked to run the end-of-run macro and it did not run (not
    // found, failed, refused, or no workbook to run it in).
    bool macroMissed() const { return macroEnabled_ && !macroRan_; }
    // Whether the spreadsheet's window follows the newest row; passed on to this run's
    // spreadsheet and to those of later Starts.
    void setFollowNewestRow(bool follow);
    bool followNewestRow() const { return followNewestRow_; }

    RunState state() const { return state_; }
    bool excelBlocked() const { return picture_.blocked; }
    // What the view shows now.
    const RunPicture& picture() const { return picture_; }
    // Shows what a task beside the run (a rebuild from a journal) is doing or did, as the
    // latest outcome: its status, the file it is about and why it failed (empty when it did
    // not). While no run is on, the spreadsheet lamp tells whether it failed; while a run
    // is on, the run's lamps stay and its count comes back with the next bytes.
    void showTaskOutcome(std::string_view status, std::string path, std::string reason);
    const CaptureParser& parser() const { return parser_; }
    // The journal's bytes the sheet has not taken yet.
    std::int64_t bytesWaiting() const { return pipeline_.bytesWaiting(); }
    const RunJournal& journal() const { return journal_; }
    // Whether every line of the last run reached the sheet whole: none cut at the sheet's
    // last column or a cell's length, none left unwritten at Stop.
    bool everyLineWritten() const { return !textUnwritten_ && parser_.tally().sheetHoldsEveryCell(); }
    // Whether the port went away during the run and has not been opened again.
    bool portLost() const { return portLost_; }
    // The spreadsheet application and the sheet of the last Start, or none.
    SpreadsheetApplication* application() const { return spreadsheet_.application.get(); }
    CaptureSheet* sheet() const { return spreadsheet_.sheet.get(); }

private:
    // Start's steps.
    // Each gives the reason it failed, or nothing when it succeeded.
    std::optional<std::string> prepareSpreadsheet(std::string& workingCopy, const std::string& runName);
    std::optional<std::string> openPort();
    void failWorkbook(const std::string& reason);
    void openPortAndRun(std::string workingCopy, const std::string& runName);
    // After the port failed to open at Start: the instance is quit without keeping the
    // window waiting.
    void quitSpreadsheetInBackground();
    // The tick's steps.
    bool probeBlockedWorkbook();
    // Takes the source's text into the journal; the count is shown unless the status line
    // tells something that matters more (paused, blocked).
    // The bytes taken in.
    std::int64_t takeInText();
    void writeWaitingLines();
    // Writes slices of waiting lines until none is left or `deadline` has passed; the
    // failure of a write, if one failed.
    std::optional<SpreadsheetError> writeSlices(std::chrono::steady_clock::time_point deadline);
    void showDrain(bool linesWaiting);
    // Tells on the status line, once each, the lines cut at the sheet's last column and
    // the texts cut at a cell's length since the last time, and the first plain line
    // whose fields past column 256 were left out.
    void showCutLines();
    void block(const SpreadsheetError& error);
    void showJournalFailure();
    // The source's link-lost notice, with its reason, and Resume's second try.
    void loseLink(const std::string& reason);
    // The source holds plenty of text: the next tick comes at once.
    void takeWaitingTextSoon();
    void showPortLost(std::string reason);
    // Stop's steps.
    void stopReading();
    void continueStop();
    void finishStop(const std::optional<SpreadsheetError>& unwritten);
    void dropUnfinishedText();
    void showTextInJournal(const SpreadsheetError& error);
    void closePort();
    void showStopped(std::int64_t bytes, int rows);
    void runMacro();
    void showMacroOutcome(const RunPicture& stopped, const std::optional<SpreadsheetError>& failure,
                          const std::vector<std::string>& messages);

    // The picture in `phase` with `status`, shown at once; showCountOrReady keeps the phase.
    void show(RunPhase phase, std::string_view status, std::string reason = {}, std::string path = {});
    void showCountOrReady();
    void showBytesReceived(std::int64_t count);
    void dropSpreadsheet();

    CaptureRunParts parts_;
    // The parser's clock: each stamp time also goes to the journal's reads file.
    RecordingTimeOfDay stampClock_;
    CaptureParser parser_;
    RunState state_ = RunState::Stopped;
    CaptureSpreadsheet spreadsheet_;
    std::string captureWorkbook_;  // the working copy opened by the last Start; empty if none
    RunPicture picture_;
    RowSink* rowWatcher_ = nullptr;
    bool portLost_ = false;
    // Why this run's journal lost bytes, once it has: kept in view until the next Start, since
    // the journal stays short of them for the rest of the run.
    std::string journalFailure_;
    bool draining_ = false;  // the status line shows the lines waiting, not the count
    bool stopping_ = false;  // Stop is writing a backlog over several ticks
    bool inTick_ = false;
    bool textWaiting_ = false;  // the source told of plenty waiting since the tick began
    bool starting_ = false;  // the workbook is opening in the background
    InlineStep inlineSteps_;
    BackgroundStep* steps_ = &inlineSteps_;
    bool textUnwritten_ = false;  // the last Stop could not write all the text
    bool workbookFull_ = false;   // blocked by a workbook that holds all it can save
    bool runningMacro_ = false;   // the end-of-run macro runs in the background
    SheetTally told_;             // what showCutLines has told
    RunJournal& journal_;
    bool macroEnabled_ = false;
    std::string macroName_;
    bool macroRan_ = false;
    bool followNewestRow_ = true;
    CapturePipeline pipeline_{parts_.source, journal_, parser_};
};

// The text a spreadsheet failure shows: the workbook or instance gone, or anything else.
std::string_view blockedText(const SpreadsheetError& error);

}  // namespace tabwright
