#include "tabwright/capture/capture_run.h"

#include <exception>
#include <utility>

#include <QDateTime>

#include "tabwright/capture/batching_row_sink.h"
#include "tabwright/capture/capture_workbook.h"
#include "tabwright/capture/workbook_files.h"

namespace tabwright {

std::string_view blockedText(const SpreadsheetError& error)
{
    return error.failure() == SpreadsheetFailure::Gone ? kExcelClosedText : kExcelBlockedText;
}

namespace {

// 1234567 as "1,234,567".
std::string groupedDigits(std::size_t count)
{
    const std::string digits = std::to_string(count);
    std::string text;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            text += ',';
        text += digits[i];
    }
    return text;
}

}  // namespace

CaptureRun::CaptureRun(CaptureRunParts parts)
    : parts_(parts), parser_(parts.clock), journal_(parts.dataFolder)
{
    parts_.port.setLinkLostHandler([this](const serial::PortError&) { loseLink(); });
}

CaptureRun::~CaptureRun()
{
    parts_.port.setLinkLostHandler({});
}

void CaptureRun::setMacro(bool enabled, std::string name)
{
    macroEnabled_ = enabled;
    macroName_ = std::move(name);
}

bool CaptureRun::Start()
{
    // The window disables Start while a run is on or stopping; other callers get the same rule.
    if (state_ != RunState::Stopped || stopping_)
        return false;
    RunView& view = parts_.view;
    view.showLamp(Lamp::Excel, LampColour::Yellow);
    view.showStatus("Opening MS Excel Spreadsheet");
    // BlockColumn and CurrentRow back to 1: the first block starts at the top left.
    parser_.startRun();
    if (!openWorkbook()) {
        view.showLamp(Lamp::Excel, LampColour::Red);
        view.showStatus("MS Excel not available");
        return false;
    }
    view.showLamp(Lamp::Excel, LampColour::Green);
    view.showStatus("");

    view.showLamp(Lamp::ComPort, LampColour::Yellow);
    view.showStatus("Opening COM port");
    if (!openPort()) {
        view.showLamp(Lamp::ComPort, LampColour::Red);
        view.showStatus("COM port not available");
        quitSpreadsheet();
        return false;
    }
    view.showLamp(Lamp::ComPort, LampColour::Green);
    view.showStatus("Ready");
    showRunning();
    if (!journal_.open(QDateTime::currentDateTime()))
        showJournalFailure();
    excelBlocked_ = false;
    portLost_ = false;
    draining_ = false;
    textUnwritten_ = false;
    cutLinesTold_ = 0;
    state_ = RunState::Running;
    parts_.timer.setTimerEnabled(true);
    view.bringWindowToFront();
    return true;
}

bool CaptureRun::openWorkbook()
{
    captureWorkbook_.clear();
    std::string workingCopy;
    try {
        workingCopy = parts_.spreadsheets.prepareWorkingCopy();
        // The previous instance is dropped, not quit: it stays open for the user.
        excelApp_ = parts_.spreadsheets.makeSpreadsheet();
    } catch (const std::exception& error) {
        // A refused private folder, say: the user is told why.
        parts_.prompter.showMessage(error.what());
        return false;
    }
    if (!openCaptureWorkbook(*excelApp_, workingCopy))
        return false;
    captureWorkbook_ = std::move(workingCopy);
    return true;
}

bool CaptureRun::openPort()
{
    try {
        parts_.port.open();
        return true;
    } catch (const serial::PortError&) {
        return false;
    }
}

void CaptureRun::showRunning()
{
    RunView& view = parts_.view;
    view.enableButton(RunButton::Start, false);
    view.enableButton(RunButton::Stop, true);
    view.enableButton(RunButton::Pause, true);
    view.bringToFront(RunButton::Pause);
    view.enableButton(RunButton::Resume, false);
    view.enableButton(RunButton::ComPorts, false);
}

void CaptureRun::Pause()
{
    if (state_ != RunState::Running)
        return;
    state_ = RunState::Paused;
    parts_.timer.setTimerEnabled(false);
    RunView& view = parts_.view;
    view.enableButton(RunButton::Pause, false);
    view.enableButton(RunButton::Resume, true);
    view.bringToFront(RunButton::Resume);
    view.showLamp(Lamp::ComPort, LampColour::Yellow);
    view.showLamp(Lamp::Excel, LampColour::Yellow);
    view.showStatus("Paused");
}

void CaptureRun::Resume()
{
    if (state_ != RunState::Paused)
        return;
    if (portLost_) {
        if (!openPort()) {
            showPortLost();
            return;
        }
        portLost_ = false;
    }
    RunView& view = parts_.view;
    view.enableButton(RunButton::Resume, false);
    view.enableButton(RunButton::Pause, true);
    view.bringToFront(RunButton::Pause);
    view.showLamp(Lamp::ComPort, LampColour::Green);
    view.showLamp(Lamp::Excel, LampColour::Green);
    showBytesReceivedOrReady();
    state_ = RunState::Running;
    parts_.timer.setTimerEnabled(true);
}

void CaptureRun::showBytesReceivedOrReady()
{
    if (parser_.BytesReceived() == 0)
        parts_.view.showStatus("Ready");
    else
        parts_.view.showBytesReceived(parser_.BytesReceived());
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
    if (!excelBlocked_)
        return true;
    try {
        excelApp_->workbookName();
    } catch (const SpreadsheetError&) {
        return false;
    }
    excelBlocked_ = false;
    countUnshown_ = false;
    RunView& view = parts_.view;
    view.showLamp(Lamp::Excel, LampColour::Green);
    if (parser_.BytesReceived() == 0)
        view.showStatus("Ready");
    else
        view.showStatus("Bytes Received: " + std::to_string(parser_.BytesReceived()));
    view.enableButton(RunButton::Pause, true);
    return true;
}

void CaptureRun::takeInText()
{
    takeInText(parts_.view);
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
    const std::string text = ReadIncomingText(parts_.port, parts_.handover, parser_, status);
    journal_.append(text);
    journal_.flush();
    showJournalFailure();
    parser_.append(text);
}

void CaptureRun::showJournalFailure()
{
    if (const auto failure = journal_.takeFailure())
        parts_.view.showStatus(*failure);
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
    BatchingRowSink rows(*excelApp_, kCellsPerWrite);
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
    parts_.view.showStatus("A line too wide for the sheet was cut at its last column (" +
                           groupedDigits(static_cast<std::size_t>(kSheetColumns)) + "): row " +
                           std::to_string(cut->row) + ", " + groupedDigits(cut->cellsLeftOut) +
                           " cells left out; the journal holds the whole line");
}

void CaptureRun::showDrain(bool linesWaiting)
{
    if (linesWaiting)
        parts_.view.showStatus("Writing received lines: " + groupedDigits(parser_.ReceiveBuffer().size()) +
                               " bytes waiting");
    else if (draining_)
        showBytesReceivedOrReady();
    draining_ = linesWaiting;
}

void CaptureRun::block(const SpreadsheetError& error)
{
    excelBlocked_ = true;
    RunView& view = parts_.view;
    view.showLamp(Lamp::Excel, LampColour::Red);
    view.showStatus(blockedText(error));
    view.enableButton(RunButton::Pause, false);
}

void CaptureRun::loseLink()
{
    if (state_ == RunState::Stopped)
        return;
    portLost_ = true;
    // The bytes that came before the loss are still taken and written.
    if (!excelBlocked_ && excelApp_) {
        takeInText();
        if (const auto failure = writeSlices(std::chrono::steady_clock::time_point::max()))
            block(*failure);
    }
    draining_ = false;
    state_ = RunState::Paused;
    parts_.timer.setTimerEnabled(false);
    RunView& view = parts_.view;
    view.enableButton(RunButton::Pause, false);
    view.enableButton(RunButton::Resume, true);
    view.bringToFront(RunButton::Resume);
    showPortLost();
}

void CaptureRun::showPortLost()
{
    parts_.view.showLamp(Lamp::ComPort, LampColour::Red);
    parts_.view.showStatus(kPortNotAvailableText);
}

void CaptureRun::Stop()
{
    if (stopping_)
        return;
    const bool wasRunning = state_ != RunState::Stopped;
    stopReading();
    if (!wasRunning || !excelApp_) {
        finishStop(std::nullopt);
        return;
    }
    if (parts_.port.isOpen() || parts_.handover.EmulatorOpen())
        takeInText();
    journal_.flush();
    if (excelBlocked_) {
        try {
            excelApp_->workbookName();
        } catch (const SpreadsheetError& error) {
            finishStop(error);
            return;
        }
    }
    stopping_ = true;
    for (RunButton button : {RunButton::Start, RunButton::Stop, RunButton::Pause, RunButton::Resume})
        parts_.view.enableButton(button, false);
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
        BatchingRowSink rows(*excelApp_, kCellsPerWrite);
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
        parts_.view.showBytesReceived(parser_.BytesReceived());
    dropUnfinishedText();
    closePort();
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
    parts_.view.showLamp(Lamp::Excel, LampColour::Red);
    parts_.view.showStatus(std::string(blockedText(error)) + ": the received text is in the journal " +
                           journal_.path());
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
    try {
        parts_.port.close();
    } catch (const std::exception&) {
        // Closing is never refused; what went wrong does not matter any more.
    }
}

void CaptureRun::showStopped()
{
    RunView& view = parts_.view;
    view.showLamp(Lamp::ComPort, LampColour::Background);
    view.showLamp(Lamp::Excel, LampColour::Background);
    view.showStatus("");
    view.enableButton(RunButton::Stop, false);
    view.enableButton(RunButton::Start, true);
    view.enableButton(RunButton::Pause, false);
    view.bringToFront(RunButton::Pause);
    view.enableButton(RunButton::Resume, false);
    view.enableButton(RunButton::ComPorts, true);
}

void CaptureRun::runMacro()
{
    // Only a Start that opened its capture workbook gives the macro something to run in.
    if (!macroEnabled_ || !excelApp_ || captureWorkbook_.empty())
        return;
    try {
        runEndOfRunMacro(*excelApp_, fileNameOf(captureWorkbook_), macroName_, parts_.prompter);
    } catch (const SpreadsheetError& error) {
        parts_.view.showLamp(Lamp::Excel, LampColour::Red);
        parts_.view.showStatus(blockedText(error));
    }
}

void CaptureRun::stopIfRunning()
{
    if (state_ == RunState::Running)
        Stop();
    finishStopping();
}

void CaptureRun::quitSpreadsheet()
{
    if (excelApp_) {
        try {
            excelApp_->quit();
        } catch (const SpreadsheetError&) {
            // An instance that cannot be told to quit is gone or beyond reach; it is dropped.
        }
    }
    dropSpreadsheet();
}

void CaptureRun::dropSpreadsheet()
{
    excelApp_.reset();
    captureWorkbook_.clear();
}

}  // namespace tabwright
