#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "common/core/prompter.h"
#include "tabwright/capture/background_step.h"
#include "tabwright/capture/capture_journal.h"
#include "tabwright/capture/capture_parser.h"
#include "tabwright/capture/incoming_text.h"
#include "tabwright/capture/recording_time_of_day.h"
#include "tabwright/capture/run_view.h"
#include "tabwright/capture/spreadsheet.h"
#include "tabwright/capture/spreadsheet_factory.h"
#include "tabwright/capture/text_source.h"
#include "tabwright/capture/time_of_day.h"

namespace tabwright {

enum class RunState : std::int16_t { Stopped = 0, Running = 1, Paused = -1 };

inline constexpr std::string_view kExcelBlockedText = "MS Excel is blocked";
inline constexpr std::string_view kExcelClosedText = "MS Excel spreadsheet has been closed";
inline constexpr std::string_view kPortNotAvailableText = "COM port not available";

// How long one tick writes waiting lines before it lets the window answer again, and the
// most cells handed to the spreadsheet in one call.
inline constexpr std::chrono::milliseconds kWriteBudgetPerTick{50};
inline constexpr std::size_t kCellsPerWrite = 1000;

// What a capture run works with; all of it outlives the run.
struct CaptureRunParts {
    SpreadsheetFactory& spreadsheets;
    TextSource& source;  // where the text comes from, chosen by the owner
    TimeOfDay& clock;
    RunView& view;
    RunTimer& timer;
    common::Prompter& prompter;
    // The per-user data folder; each run's journal goes into its "journal" folder.
    std::string dataFolder;
};

// One capture from Start to Stop, again and again: the run states, the lamps, the status
// line and the buttons, the reading tick, and the spreadsheet application of the last
// Start. Plain C++: a window or a command line drives it through the calls below and sees
// it through RunView and RunTimer.
//
// A failed cell write blocks the run: the spreadsheet lamp turns red, the status tells
// why, Pause is disabled, and nothing more is read. Every tick then asks the workbook for
// its name; once it answers, the run goes on where the write failed. Nothing received is
// lost meanwhile: the text is still taken into the journal at every tick, and the failed
// line and all newer text wait in ReceiveBuffer.
//
// Every byte taken in also goes to the run's journal at once, so the text survives a
// workbook that is gone. A backlog is written in slices of kCellsPerWrite cells for at
// most kWriteBudgetPerTick a tick, the next tick following at once, so the window answers
// throughout. When the port goes away the run is paused with a red port lamp; Resume
// opens it again. Stop writes everything received, the unfinished last line included.
class CaptureRun : private StatusLine {
public:
    explicit CaptureRun(CaptureRunParts parts);
    ~CaptureRun() override;
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
    // window and runs the end-of-run macro when it is enabled and the last Start opened
    // its capture workbook. Text the workbook could not take is named in the status line
    // by its journal.
    // A backlog too large for one tick's writing is written over the following ticks,
    // the window answering meanwhile (every run button disabled); the port, the journal
    // and the macro follow once it is written. stopping() is true until then.
    void stop();
    bool stopping() const { return stopping_; }
    // Writes what a Stop still has to write at once, then ends it.
    void finishStopping();

    // One tick of the reading timer: the timer off, the text taken in and written, the
    // pending events run by `processPendingEvents` (a Pause or Stop may happen there),
    // and the timer on again only when still Running.
    void tick(const std::function<void()>& processPendingEvents);

    // The end of the owner: Stop when Running (a paused run is left as it is), then,
    // separately, the spreadsheet application of the last Start quit.
    void stopIfRunning();
    void quitSpreadsheet();

    void setMacro(bool enabled, std::string name);
    bool macroEnabled() const { return macroEnabled_; }
    const std::string& macroName() const { return macroName_; }
    // Whether the spreadsheet's window follows the newest row; passed on to this run's
    // spreadsheet and to those of later Starts.
    void setFollowNewestRow(bool follow);
    bool followNewestRow() const { return followNewestRow_; }

    RunState state() const { return state_; }
    bool excelBlocked() const { return picture_.blocked; }
    // What the view shows now.
    const RunPicture& picture() const { return picture_; }
    const CaptureParser& parser() const { return parser_; }
    const CaptureJournal& journal() const { return journal_; }
    // Whether every line of the last run reached the sheet whole: none cut at the sheet's
    // last column, none left unwritten at Stop.
    bool everyLineWritten() const { return !textUnwritten_ && parser_.LinesCut() == 0; }
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
    // Failure B: the instance is quit without keeping the window waiting.
    void quitSpreadsheetInBackground();
    // The tick's steps.
    bool probeBlockedWorkbook();
    void takeInText();
    void takeInText(StatusLine& status);
    // While the workbook cannot take lines, the text still goes into the journal at
    // every tick and waits in ReceiveBuffer for the workbook.
    void keepJournalWhileBlocked();
    void writeWaitingLines();
    // Writes slices of waiting lines until none is left or `deadline` has passed; the
    // failure of a write, if one failed.
    std::optional<SpreadsheetError> writeSlices(std::chrono::steady_clock::time_point deadline);
    void showDrain(bool linesWaiting);
    // Tells a line cut at the sheet's last column once, on the status line.
    void showCutLines();
    void block(const SpreadsheetError& error);
    void showJournalFailure();
    // The port's link-lost notice and Resume's second try.
    void loseLink();
    void showPortLost(std::string reason);
    // Stop's steps.
    void stopReading();
    void continueStop();
    void finishStop(const std::optional<SpreadsheetError>& unwritten);
    void dropUnfinishedText();
    void showTextInJournal(const SpreadsheetError& error);
    void closePort();
    void showStopped();
    void runMacro();

    // The picture in `phase` with `status`, shown at once; showCountOrReady keeps the phase.
    void show(RunPhase phase, std::string_view status, std::string reason = {});
    void showCountOrReady();
    void showBytesReceived(std::int64_t count) override;
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
    bool draining_ = false;  // the status line shows the lines waiting, not the count
    bool stopping_ = false;  // Stop is writing a backlog over several ticks
    bool starting_ = false;  // the workbook is opening in the background
    InlineStep inlineSteps_;
    BackgroundStep* steps_ = &inlineSteps_;
    bool textUnwritten_ = false;  // the last Stop could not write all the text
    bool countUnshown_ = false;   // text was taken in while blocked, its count not shown
    std::int64_t cutLinesTold_ = 0;
    CaptureJournal journal_;
    bool macroEnabled_ = false;
    std::string macroName_;
    bool followNewestRow_ = true;
};

// The text a spreadsheet failure shows: the workbook or instance gone, or anything else.
std::string_view blockedText(const SpreadsheetError& error);

}  // namespace tabwright
