#include "tabwright/capture/capture_run.h"

#include <exception>
#include <utility>

#include <QDateTime>

#include "common/core/path_text.h"
#include "tabwright/capture/batching_row_sink.h"
#include "tabwright/capture/capture_workbook.h"
#include "tabwright/capture/digit_grouping.h"
#include "tabwright/capture/log_categories.h"
#include "tabwright/capture/watched_sheet.h"

namespace tabwright {

std::string_view blockedText(const SpreadsheetError& error)
{
    switch (error.failure()) {
    case SpreadsheetFailure::Gone:
        return kExcelClosedText;
    case SpreadsheetFailure::Ended:
        return kExcelEndedText;
    default:
        return kExcelBlockedText;
    }
}

CaptureRun::CaptureRun(CaptureRunParts parts)
    : parts_(parts),
      stampClock_(parts.clock,
                  [this](std::int32_t milliseconds) {
                      journal_.recordStampTime(parser_.lineOffset(), milliseconds);
                  }),
      parser_(stampClock_),
      journal_(parts.journal)
{
    parts_.source.setLinkLostHandler([this](const std::string& reason) { loseLink(reason); });
    parts_.source.setTextWaitingHandler([this] { takeWaitingTextSoon(); });
}

CaptureRun::~CaptureRun()
{
    parts_.source.setLinkLostHandler({});
    parts_.source.setTextWaitingHandler({});
}

void CaptureRun::takeWaitingTextSoon()
{
    // Inside a tick the tick itself comes again at once; between ticks the timer is
    // brought forward, while the run reads its source.
    textWaiting_ = true;
    if (!inTick_ && state_ != RunState::Stopped && !portLost_ && !stopping_)
        parts_.timer.rearmAtOnce();
}

void CaptureRun::setMacro(bool enabled, std::string name)
{
    macroEnabled_ = enabled;
    macroName_ = std::move(name);
}

void CaptureRun::setFollowNewestRow(bool follow)
{
    followNewestRow_ = follow;
    if (spreadsheet_.application)
        spreadsheet_.application->followNewestRow(follow);
}

bool CaptureRun::start()
{
    // The window disables Start while a run starts, is on or is stopping; other callers get
    // the same rule.
    if (state_ != RunState::Stopped || stopping_ || starting_ || runningMacro_)
        return false;
    // The run's journal and working copy share its name.
    const std::string runName = journal_.unusedRunName(QDateTime::currentDateTime());
    picture_.blocked = false;
    show(RunPhase::OpeningWorkbook, "Opening MS Excel Spreadsheet");
    // BlockColumn and CurrentRow back to 1: the first block starts at the top left.
    parser_.startRun();
    captureWorkbook_.clear();
    parts_.source.prepare();
    auto workingCopy = std::make_shared<std::string>();
    if (const auto failure = prepareSpreadsheet(*workingCopy, runName)) {
        failWorkbook(*failure);
        return false;
    }
    // A sheet without an application starts empty, as a fresh working copy does.
    if (!spreadsheet_.application) {
        openPortAndRun(*workingCopy, runName);
        return state_ == RunState::Running;
    }
    // The application starts and opens the workbook in the background: the window answers.
    starting_ = true;
    auto opening = std::make_shared<WorkbookOpening>();
    steps_->run([application = spreadsheet_.application, workingCopy,
                 opening] { *opening = openCaptureWorkbook(*application, *workingCopy); },
                [this, workingCopy, opening, runName] {
                    starting_ = false;
                    if (opening->opened)
                        openPortAndRun(*workingCopy, runName);
                    else
                        failWorkbook(opening->reason);
                });
    return state_ == RunState::Running;
}

void CaptureRun::failWorkbook(const std::string& reason)
{
    logInfo(captureLog(), "Start failed: " + reason);
    parts_.source.close();
    show(RunPhase::WorkbookFailed, "MS Excel not available", reason);
}

void CaptureRun::openPortAndRun(std::string workingCopy, const std::string& runName)
{
    captureWorkbook_ = std::move(workingCopy);
    show(RunPhase::WorkbookOpen, "");
    show(RunPhase::OpeningPort, "Opening COM port");
    if (const auto failure = openPort()) {
        show(RunPhase::PortFailed, kPortNotAvailableText, *failure);
        quitSpreadsheetInBackground();
        return;
    }
    portLost_ = false;
    journalFailure_.clear();
    draining_ = false;
    textUnwritten_ = false;
    workbookFull_ = false;
    told_ = {};
    state_ = RunState::Running;
    show(RunPhase::Running, "Ready");
    if (!journal_.open(runName))
        showJournalFailure();
    pipeline_.restart();
    parts_.timer.setTimerEnabled(true);
    parts_.view.bringWindowToFront();
}

std::optional<std::string> CaptureRun::prepareSpreadsheet(std::string& workingCopy,
                                                          const std::string& runName)
{
    FreshWorkbook fresh = prepareFreshWorkbook(parts_.spreadsheets, runName, followNewestRow_);
    if (!fresh.reason.empty())
        return fresh.reason;
    // The previous instance is dropped, not quit: it stays open for the user.
    spreadsheet_ = std::move(fresh.spreadsheet);
    workingCopy = std::move(fresh.workingCopy);
    // The lines are cut where the sheet, saved in its format, ends.
    if (spreadsheet_.sheet)
        parser_.setSheetLimits(spreadsheet_.sheet->limits());
    return std::nullopt;
}

std::optional<std::string> CaptureRun::openPort()
{
    try {
        parts_.source.open();
        return std::nullopt;
    } catch (const SourceError& error) {
        logInfo(serialLog(), error.what());
        return error.reason();
    } catch (const std::exception& error) {
        logInfo(serialLog(), error.what());
        return error.what();
    }
}

void CaptureRun::pause()
{
    if (state_ != RunState::Running)
        return;
    // The timer goes on: a paused run still takes the source's text into the journal.
    state_ = RunState::Paused;
    show(RunPhase::Paused, "Paused");
}

void CaptureRun::resume()
{
    if (state_ != RunState::Paused)
        return;
    if (portLost_) {
        if (const auto failure = openPort()) {
            showPortLost(*failure);
            return;
        }
        portLost_ = false;
    }
    state_ = RunState::Running;
    picture_.phase = RunPhase::Running;
    // The port's failure is over; a workbook still blocked keeps its red lamp.
    picture_.status.clear();
    picture_.reason.clear();
    showCountOrReady();
    parts_.timer.setTimerEnabled(true);
}

void CaptureRun::show(RunPhase phase, std::string_view status, std::string reason, std::string path)
{
    picture_.phase = phase;
    picture_.status = status;
    picture_.bytesReceived.reset();
    picture_.reason = std::move(reason);
    picture_.path = std::move(path);
    parts_.view.showRun(picture_);
}

void CaptureRun::showTaskOutcome(std::string_view status, std::string path, std::string reason)
{
    if (state_ == RunState::Stopped && !stopping_ && !starting_ && !runningMacro_)
        picture_.blocked = !reason.empty();
    show(picture_.phase, status, std::move(reason), std::move(path));
}

void CaptureRun::showCountOrReady()
{
    if (parser_.bytesReceived() == 0)
        show(picture_.phase, "Ready");
    else
        showBytesReceived(parser_.bytesReceived());
}

void CaptureRun::showBytesReceived(std::int64_t count)
{
    // A blocked workbook keeps its status and reason beside the count: the journal still
    // takes every byte.
    if (!picture_.blocked) {
        picture_.status.clear();
        picture_.reason = journalFailure_;
    }
    picture_.path.clear();
    picture_.bytesReceived = count;
    parts_.view.showRun(picture_);
}

void CaptureRun::tick(const std::function<void()>& processPendingEvents)
{
    parts_.timer.setTimerEnabled(false);
    if (stopping_) {
        continueStop();
        processPendingEvents();
        return;
    }
    inTick_ = true;
    textWaiting_ = false;
    const bool plentyArrived = state_ != RunState::Stopped && !portLost_ && takeInText() >= kPlentyOfText;
    if (state_ == RunState::Running && probeBlockedWorkbook())
        writeWaitingLines();
    processPendingEvents();
    inTick_ = false;
    if (state_ == RunState::Stopped || portLost_)
        return;
    if ((draining_ && state_ == RunState::Running) || plentyArrived || textWaiting_)
        parts_.timer.rearmAtOnce();
    else
        parts_.timer.setTimerEnabled(true);
}

bool CaptureRun::probeBlockedWorkbook()
{
    if (!picture_.blocked)
        return true;
    // A full workbook stays full: the run journals on until the user stops it.
    if (workbookFull_)
        return false;
    try {
        spreadsheet_.sheet->workbookName();
    } catch (const SpreadsheetError& error) {
        // A closed window seen first may turn out to be an ended process.
        if (error.failure() == SpreadsheetFailure::Ended && picture_.status != kExcelEndedText)
            block(error);
        return false;
    }
    picture_.blocked = false;
    showCountOrReady();
    return true;
}

std::int64_t CaptureRun::takeInText()
{
    const std::int64_t taken = pipeline_.readIncomingText();
    if (taken == 0)
        return 0;
    journal_.recordRead(parser_.lineOffset(), parts_.clock.millisecondsSinceMidnight());
    journal_.flush();
    showJournalFailure();
    // While paused the status keeps saying so; Resume shows the count. A blocked run shows
    // the count beside why nothing is written.
    if (state_ != RunState::Paused)
        showBytesReceived(parser_.bytesReceived());
    return taken;
}

void CaptureRun::showJournalFailure()
{
    if (const auto failure = journal_.takeFailure()) {
        journalFailure_ = *failure;
        show(picture_.phase, *failure);
    }
}

void CaptureRun::writeWaitingLines()
{
    if (pipeline_.bytesWaiting() == 0)
        return;
    if (const auto failure = writeSlices(std::chrono::steady_clock::now() + kWriteBudgetPerTick)) {
        draining_ = false;
        block(*failure);
        return;
    }
    showDrain(pipeline_.lineWaiting());
}

std::optional<SpreadsheetError> CaptureRun::writeSlices(std::chrono::steady_clock::time_point deadline)
{
    WatchedSheet sheet(*spreadsheet_.sheet, rowWatcher_);
    BatchingRowSink rows(sheet, kCellsPerWrite);
    std::optional<SpreadsheetError> failure = pipeline_.writeLines(rows, deadline);
    showCutLines();
    return failure;
}

void CaptureRun::showCutLines()
{
    const SheetTally& tally = parser_.tally();
    const SheetNotices notices = sheetNotices(tally, parser_.limits(), kColumnLimit);
    // Cuts are told whenever there are more; the plain lines' fields left out once a run.
    if (notices.linesCut && tally.linesCut != told_.linesCut)
        show(picture_.phase, *notices.linesCut);
    if (notices.cellsShortened && tally.cellsShortened != told_.cellsShortened)
        show(picture_.phase, *notices.cellsShortened);
    if (notices.fieldsLeftOut && !told_.firstTrimmedRow)
        show(picture_.phase, *notices.fieldsLeftOut);
    told_ = tally;
}

void CaptureRun::showDrain(bool linesWaiting)
{
    if (linesWaiting)
        show(picture_.phase, "Writing received lines: " +
                                 groupedDigits(static_cast<std::uint64_t>(pipeline_.bytesWaiting())) +
                                 " bytes waiting");
    else if (draining_)
        showCountOrReady();
    draining_ = linesWaiting;
}

void CaptureRun::block(const SpreadsheetError& error)
{
    picture_.blocked = true;
    workbookFull_ = error.failure() == SpreadsheetFailure::Full;
    logInfo(captureLog(), std::string(blockedText(error)) + ": " + error.what());
    show(picture_.phase, blockedText(error), error.what());
    if (parser_.bytesReceived() > 0)
        showBytesReceived(parser_.bytesReceived());
}

void CaptureRun::loseLink(const std::string& reason)
{
    if (state_ == RunState::Stopped)
        return;
    // The bytes that came before the loss are still taken and written.
    takeInText();
    if (state_ == RunState::Running && !picture_.blocked && spreadsheet_.sheet)
        if (const auto failure = writeSlices(std::chrono::steady_clock::time_point::max()))
            block(*failure);
    portLost_ = true;
    draining_ = false;
    state_ = RunState::Paused;
    parts_.timer.setTimerEnabled(false);
    showPortLost(reason + std::string(kPressResumeAdvice));
}

void CaptureRun::showPortLost(std::string reason)
{
    logInfo(serialLog(), reason);
    show(RunPhase::PortLost, kPortNotAvailableText, std::move(reason));
}

void CaptureRun::stop()
{
    // A Start still opening its workbook goes on; Stop then acts on the run it gives.
    if (stopping_ || starting_)
        return;
    const bool wasRunning = state_ != RunState::Stopped;
    stopReading();
    if (!wasRunning || !spreadsheet_.sheet) {
        finishStop(std::nullopt);
        return;
    }
    takeInText();
    journal_.flush();
    if (picture_.blocked) {
        try {
            spreadsheet_.sheet->workbookName();
        } catch (const SpreadsheetError& error) {
            finishStop(error);
            return;
        }
    }
    stopping_ = true;
    picture_.phase = RunPhase::Stopping;
    parts_.view.showRun(picture_);
    continueStop();
}

void CaptureRun::continueStop()
{
    std::optional<SpreadsheetError> failure =
        writeSlices(std::chrono::steady_clock::now() + kWriteBudgetPerTick);
    if (!failure && pipeline_.lineWaiting()) {
        // A backlog is written over several ticks, so the window keeps answering.
        showDrain(true);
        parts_.timer.rearmAtOnce();
        return;
    }
    if (!failure) {
        WatchedSheet sheet(*spreadsheet_.sheet, rowWatcher_);
        BatchingRowSink rows(sheet, kCellsPerWrite);
        failure = pipeline_.writeEverything(rows);
        showCutLines();
    }
    stopping_ = false;
    finishStop(failure);
}

void CaptureRun::finishStop(const std::optional<SpreadsheetError>& unwritten)
{
    parts_.timer.setTimerEnabled(false);
    // The run's figures, before Stop starts the count again.
    const std::int64_t bytes = parser_.bytesReceived();
    const int rows = parser_.rowsWritten();
    dropUnfinishedText();
    closePort();
    journal_.recordStop(!unwritten);
    journal_.close();
    showStopped(bytes, rows);
    if (unwritten) {
        textUnwritten_ = true;
        showTextInJournal(*unwritten);
        // An application that has ended left its lock beside the working copy and its
        // profile: quitting what is left of it removes them.
        if (unwritten->failure() == SpreadsheetFailure::Ended)
            quitSpreadsheetInBackground();
        return;
    }
    runMacro();
}

void CaptureRun::finishStopping()
{
    while (stopping_)
        continueStop();
}

void CaptureRun::showTextInJournal(const SpreadsheetError& error)
{
    picture_.blocked = true;
    logInfo(captureLog(), std::string(blockedText(error)) + " at Stop: " + error.what());
    show(RunPhase::Stopped, std::string(blockedText(error)) + ": the received text is in the journal",
         error.what(), journal_.path());
}

void CaptureRun::stopReading()
{
    state_ = RunState::Stopped;
    parts_.timer.setTimerEnabled(false);
}

void CaptureRun::dropUnfinishedText()
{
    parser_.stopRun();
}

void CaptureRun::closePort()
{
    parts_.source.close();
}

namespace {

// Messages told in the background, shown afterwards on the caller's thread.
class HeldMessages final : public common::Prompter {
public:
    void showMessage(std::string_view text) override { held.emplace_back(text); }
    std::vector<std::string> held;
};

}  // namespace

void CaptureRun::showStopped(std::int64_t bytes, int rows)
{
    picture_.blocked = false;
    // What the run took and where it is stay in view until the next Start.
    if (captureWorkbook_.empty())
        show(RunPhase::Stopped, "");
    else
        show(RunPhase::Stopped, "Stopped: " + countOf(bytes, "byte") + ", " + countOf(rows, "row") + " in",
             journalFailure_, captureWorkbook_);
}

void CaptureRun::runMacro()
{
    macroRan_ = false;
    // Only a Start that opened its capture workbook gives the macro something to run in.
    if (!macroEnabled_ || !spreadsheet_.application || captureWorkbook_.empty())
        return;
    const RunPicture stopped = picture_;
    show(RunPhase::Stopping, "Running the end-of-run macro " + macroName_);
    runningMacro_ = true;
    auto failure = std::make_shared<std::optional<SpreadsheetError>>();
    auto ran = std::make_shared<bool>(false);
    auto messages = std::make_shared<HeldMessages>();
    steps_->run(
        [application = spreadsheet_.application, workbook = common::splitPath(captureWorkbook_).fileName,
         name = macroName_, failure, ran, messages] {
            try {
                *ran = runEndOfRunMacro(*application, workbook, name, *messages);
            } catch (const SpreadsheetError& error) {
                *failure = error;
            }
        },
        [this, stopped, failure, ran, messages] {
            macroRan_ = *ran;
            showMacroOutcome(stopped, *failure, messages->held);
        });
}

void CaptureRun::showMacroOutcome(const RunPicture& stopped, const std::optional<SpreadsheetError>& failure,
                                  const std::vector<std::string>& messages)
{
    runningMacro_ = false;
    picture_ = stopped;
    parts_.view.showRun(picture_);
    for (const std::string& message : messages)
        parts_.prompter.showMessage(message);
    if (!failure)
        return;
    picture_.blocked = true;
    logInfo(captureLog(), "The end-of-run macro: " + std::string(failure->what()));
    show(RunPhase::Stopped, blockedText(*failure), failure->what());
}

void CaptureRun::stopIfOn()
{
    steps_->finish();
    if (state_ != RunState::Stopped)
        stop();
    finishStopping();
}

void CaptureRun::quitSpreadsheetInBackground()
{
    std::shared_ptr<SpreadsheetApplication> application = spreadsheet_.application;
    dropSpreadsheet();
    if (!application)
        return;
    steps_->run(
        [application] {
            try {
                application->quit();
            } catch (const SpreadsheetError&) {
                // An instance that cannot be told to quit is gone or beyond reach.
            }
        },
        [] {});
}

void CaptureRun::quitSpreadsheet()
{
    steps_->finish();
    if (spreadsheet_.application) {
        try {
            spreadsheet_.application->quit();
        } catch (const SpreadsheetError&) {
            // An instance that cannot be told to quit is gone or beyond reach; it is dropped.
        }
    }
    dropSpreadsheet();
}

void CaptureRun::dropSpreadsheet()
{
    spreadsheet_ = {};
    captureWorkbook_.clear();
}

}  // namespace tabwright
