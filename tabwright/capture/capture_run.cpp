#include "tabwright/capture/capture_run.h"

#include <exception>
#include <utility>

#include <QDateTime>

#include "serial/port_error.h"
#include "tabwright/capture/batching_row_sink.h"
#include "tabwright/capture/capture_workbook.h"
#include "tabwright/capture/digit_grouping.h"
#include "tabwright/capture/log_categories.h"
#include "tabwright/capture/watched_sheet.h"
#include "tabwright/capture/workbook_files.h"

namespace tabwright {

std::string_view blockedText(const SpreadsheetError& error)
{
    return error.failure() == SpreadsheetFailure::Gone ? kExcelClosedText : kExcelBlockedText;
}

CaptureRun::CaptureRun(CaptureRunParts parts)
    : parts_(parts),
      stampClock_(parts.clock,
                  [this](std::int32_t milliseconds) {
                      journal_.recordStampTime(parser_.LineOffset(), milliseconds);
                  }),
      parser_(stampClock_),
      journal_(parts.dataFolder)
{
    parts_.source.setLinkLostHandler([this] { loseLink(); });
}

CaptureRun::~CaptureRun()
{
    parts_.source.setLinkLostHandler({});
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
    if (state_ != RunState::Stopped || stopping_ || starting_)
        return false;
    // The run's journal and working copy share its name.
    const std::string runName = journal_.unusedRunName(QDateTime::currentDateTime());
    picture_.blocked = false;
    show(RunPhase::OpeningWorkbook, "Opening MS Excel Spreadsheet");
    // BlockColumn and CurrentRow back to 1: the first block starts at the top left.
    parser_.startRun();
    captureWorkbook_.clear();
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
    draining_ = false;
    textUnwritten_ = false;
    cutLinesTold_ = 0;
    state_ = RunState::Running;
    show(RunPhase::Running, "Ready");
    if (!journal_.open(runName))
        showJournalFailure();
    parts_.timer.setTimerEnabled(true);
    parts_.view.bringWindowToFront();
}

std::optional<std::string> CaptureRun::prepareSpreadsheet(std::string& workingCopy, const std::string& runName)
{
    try {
        workingCopy = parts_.spreadsheets.prepareWorkingCopy(runName);
    } catch (const std::exception& error) {
        return std::string("The working copy of the template cannot be placed: ") + error.what();
    }
    try {
        // The previous instance is dropped, not quit: it stays open for the user.
        spreadsheet_ = parts_.spreadsheets.makeSpreadsheet();
    } catch (const std::exception& error) {
        return std::string("LibreOffice Calc cannot be used: ") + error.what();
    }
    if (spreadsheet_.application)
        spreadsheet_.application->followNewestRow(followNewestRow_);
    return std::nullopt;
}

std::optional<std::string> CaptureRun::openPort()
{
    try {
        parts_.source.open();
        return std::nullopt;
    } catch (const serial::PortError& error) {
        logInfo(serialLog(), error.what());
        return error.hint();
    } catch (const std::exception& error) {
        logInfo(serialLog(), error.what());
        return error.what();
    }
}

void CaptureRun::pause()
{
    if (state_ != RunState::Running)
        return;
    state_ = RunState::Paused;
    parts_.timer.setTimerEnabled(false);
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
    showCountOrReady();
    parts_.timer.setTimerEnabled(true);
}

void CaptureRun::show(RunPhase phase, std::string_view status, std::string reason)
{
    picture_.phase = phase;
    picture_.status = status;
    picture_.bytesReceived.reset();
    picture_.reason = std::move(reason);
    parts_.view.showRun(picture_);
}

void CaptureRun::showCountOrReady()
{
    if (parser_.BytesReceived() == 0)
        show(picture_.phase, "Ready");
    else
        showBytesReceived(parser_.BytesReceived());
}

void CaptureRun::showBytesReceived(std::int64_t count)
{
    picture_.status.clear();
    picture_.reason.clear();
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
    if (state_ == RunState::Running) {
        if (probeBlockedWorkbook()) {
            takeInText();
            writeWaitingLines();
        } else {
            keepJournalWhileBlocked();
        }
    }
    processPendingEvents();
    if (state_ != RunState::Running)
        return;
    if (draining_)
        parts_.timer.rearmAtOnce();
    else
        parts_.timer.setTimerEnabled(true);
}

bool CaptureRun::probeBlockedWorkbook()
{
    if (!picture_.blocked)
        return true;
    try {
        spreadsheet_.sheet->workbookName();
    } catch (const SpreadsheetError&) {
        return false;
    }
    picture_.blocked = false;
    countUnshown_ = false;
    showCountOrReady();
    return true;
}

void CaptureRun::takeInText()
{
    takeInText(*this);
}

void CaptureRun::keepJournalWhileBlocked()
{
    // The status line keeps telling why nothing is written; the count shows again once
    // the workbook answers.
    class QuietCount : public StatusLine {
    public:
        void showBytesReceived(std::int64_t) override {}
    } quiet;
    takeInText(quiet);
    countUnshown_ = true;
}

void CaptureRun::takeInText(StatusLine& status)
{
    const std::string text = ReadIncomingText(parts_.source, parser_, status);
    journal_.append(text);
    if (!text.empty())
        journal_.recordRead(parser_.LineOffset(), parts_.clock.millisecondsSinceMidnight());
    journal_.flush();
    showJournalFailure();
    parser_.append(text);
}

void CaptureRun::showJournalFailure()
{
    if (const auto failure = journal_.takeFailure())
        show(picture_.phase, *failure);
}

void CaptureRun::writeWaitingLines()
{
    if (parser_.ReceiveBuffer().empty())
        return;
    if (const auto failure = writeSlices(std::chrono::steady_clock::now() + kWriteBudgetPerTick)) {
        draining_ = false;
        block(*failure);
        return;
    }
    showDrain(parser_.LineWaiting());
}

std::optional<SpreadsheetError> CaptureRun::writeSlices(std::chrono::steady_clock::time_point deadline)
{
    WatchedSheet sheet(*spreadsheet_.sheet, rowWatcher_);
    BatchingRowSink rows(sheet, kCellsPerWrite);
    std::optional<SpreadsheetError> failure;
    do {
        failure = parser_.ProcessReceivedText(rows);
    } while (!failure && parser_.LineWaiting() && std::chrono::steady_clock::now() < deadline);
    showCutLines();
    return failure;
}

void CaptureRun::showCutLines()
{
    const std::optional<CutLine> cut = parser_.LastCut();
    if (parser_.LinesCut() == cutLinesTold_ || !cut)
        return;
    cutLinesTold_ = parser_.LinesCut();
    show(picture_.phase, "A line too wide for the sheet was cut at its last column (" +
                             groupedDigits(static_cast<std::size_t>(kSheetColumns)) + "): row " +
                             std::to_string(cut->row) + ", " + groupedDigits(cut->cellsLeftOut) +
                             " cells left out; the journal holds the whole line");
}

void CaptureRun::showDrain(bool linesWaiting)
{
    if (linesWaiting)
        show(picture_.phase,
             "Writing received lines: " + groupedDigits(parser_.ReceiveBuffer().size()) + " bytes waiting");
    else if (draining_)
        showCountOrReady();
    draining_ = linesWaiting;
}

void CaptureRun::block(const SpreadsheetError& error)
{
    picture_.blocked = true;
    logInfo(captureLog(), std::string(blockedText(error)) + ": " + error.what());
    show(picture_.phase, blockedText(error), error.what());
}

void CaptureRun::loseLink()
{
    if (state_ == RunState::Stopped)
        return;
    portLost_ = true;
    // The bytes that came before the loss are still taken and written.
    if (!picture_.blocked && spreadsheet_.sheet) {
        takeInText();
        if (const auto failure = writeSlices(std::chrono::steady_clock::time_point::max()))
            block(*failure);
    }
    draining_ = false;
    state_ = RunState::Paused;
    parts_.timer.setTimerEnabled(false);
    showPortLost(
        "The connection to the port was lost: the cable or adapter was unplugged or the "
        "instrument was switched off. Reconnect it, then press Resume.");
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
    if (!failure && parser_.LineWaiting()) {
        // A backlog is written over several ticks, so the window keeps answering.
        showDrain(true);
        parts_.timer.rearmAtOnce();
        return;
    }
    if (!failure) {
        WatchedSheet sheet(*spreadsheet_.sheet, rowWatcher_);
        BatchingRowSink rows(sheet, kCellsPerWrite);
        failure = parser_.WriteUnfinishedLine(rows);
        showCutLines();
    }
    stopping_ = false;
    finishStop(failure);
}

void CaptureRun::finishStop(const std::optional<SpreadsheetError>& unwritten)
{
    parts_.timer.setTimerEnabled(false);
    // The count taken in while the workbook was blocked, before Stop starts it again.
    if (std::exchange(countUnshown_, false))
        showBytesReceived(parser_.BytesReceived());
    dropUnfinishedText();
    closePort();
    journal_.recordStop(!unwritten);
    journal_.close();
    showStopped();
    if (unwritten) {
        textUnwritten_ = true;
        showTextInJournal(*unwritten);
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
    show(RunPhase::Stopped,
         std::string(blockedText(error)) + ": the received text is in the journal " + journal_.path(),
         error.what());
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

void CaptureRun::showStopped()
{
    picture_.blocked = false;
    show(RunPhase::Stopped, "");
}

void CaptureRun::runMacro()
{
    // Only a Start that opened its capture workbook gives the macro something to run in.
    if (!macroEnabled_ || !spreadsheet_.application || captureWorkbook_.empty())
        return;
    try {
        runEndOfRunMacro(*spreadsheet_.application, fileNameOf(captureWorkbook_), macroName_,
                         parts_.prompter);
    } catch (const SpreadsheetError& error) {
        picture_.blocked = true;
        logInfo(captureLog(), "The end-of-run macro: " + std::string(error.what()));
        show(RunPhase::Stopped, blockedText(error), error.what());
    }
}

void CaptureRun::stopIfRunning()
{
    steps_->finish();
    if (state_ == RunState::Running)
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
