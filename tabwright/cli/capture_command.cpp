#include "tabwright/cli/capture_command.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstddef>
#include <limits>
#include <memory>
#include <optional>
#include <string>

#include "common/core/interrupt_signals.h"
#include "common/core/prompter.h"
#include "serial/background_read_port.h"
#include "tabwright/files/capture_journal.h"
#include "tabwright/capture/capture_run.h"
#include "tabwright/capture/capture_settings.h"
#include "tabwright/capture/capture_workbook.h"
#include "tabwright/capture/emulator_source.h"
#include "tabwright/files/ini_settings_store.h"
#include "tabwright/capture/program_identity.h"
#include "tabwright/files/serial_port_source.h"
#include "tabwright/capture/sheet_limits.h"
#include "tabwright/chart/run_readings.h"
#include "tabwright/cli/chart_output.h"
#include "tabwright/cli/output_spreadsheets.h"
#include "tabwright/cli/save_output.h"
#include "tabwright/cli/start_advice.h"
#include "tabwright/cli/terminal_prompter.h"
#include "tabwright/cli/terminal_run_view.h"
#include "tabwright/emulator/emulated_instruments.h"
#include "tabwright/emulator/emulator_pacer.h"
#include "tabwright/emulator/steady_clock.h"

namespace tabwright {

namespace {

constexpr int kTickMilliseconds = 100;

class QtRunTimer : public RunTimer {
public:
    QTimer timer;
    void setTimerEnabled(bool enabled) override { enabled ? timer.start(kTickMilliseconds) : timer.stop(); }
    void rearmAtOnce() override { timer.start(0); }
};

// Whether the port can be opened, told with the serial service's hint when it cannot, and
// where the saved port comes from when it was not `given`; checked before the spreadsheet
// application starts for nothing.
bool portOpens(serial::SerialPort& port, bool given, std::ostream& err)
{
    try {
        port.open();
        port.close();
        return true;
    } catch (const serial::PortError& error) {
        err << "COM port not available: COM" << port.portNumber() << ". " << error.hint() << '\n';
        if (!given)
            err << "That is the port saved as ComPort in " << IniSettingsStore::fileOf(kProgramTitle)
                << "; --port N takes another.\n";
        return false;
    }
}

// The emulated instruments of a run from the command line, set up as the options say.
class PacedInstruments {
public:
    PacedInstruments(EmulatorSource& emulator, const CaptureOptions& options)
        : emulator_(emulator),
          pacer_(clock_, [&emulator](std::string output) { emulator.say(std::move(output)); })
    {
        K7rxModel& k7rx = instruments_.k7rx;
        k7rx.setMinMeasurement(static_cast<std::int16_t>(options.measurement.minimum));
        k7rx.setMaxMeasurement(static_cast<std::int16_t>(options.measurement.maximum));
        k7rx.setMinTemperature(static_cast<std::int16_t>(options.temperature.minimum));
        k7rx.setMaxTemperature(static_cast<std::int16_t>(options.temperature.maximum));
        k7rx.setFourDigitIndex(options.index);
        instruments_.vq480.setEOLFrequency(static_cast<std::int16_t>(options.eolFrequency));
    }

    // The chosen instrument is switched on and speaks at the emulator's pace, as in the
    // emulator window. It exists for this run alone, so it is held open from now on: what it
    // says while Calc opens waits for the run's first tick.
    void start(CaptureSource source)
    {
        InstrumentModel& model = source == CaptureSource::EmulatedVq480
                                     ? static_cast<InstrumentModel&>(instruments_.vq480)
                                     : instruments_.k7rx;
        emulator_.turnOn();
        emulator_.open();
        pace_.setTimerType(Qt::PreciseTimer);
        pace_.setInterval(EmulatorPacer::kOutputInterval);
        QObject::connect(&pace_, &QTimer::timeout, [this, &model] { pacer_.tick(&model); });
        pacer_.start();
        pace_.start();
    }
    void stop() { pace_.stop(); }

private:
    EmulatorSource& emulator_;
    EmulatedInstruments instruments_;
    SystemSteadyClock clock_;
    EmulatorPacer pacer_;
    QTimer pace_;
};

// Runs the events until the time is up, a signal comes, or the run is no longer running
// (the port went away); returns whether it was the last.
bool captureUntilTheEnd(const CaptureRun& run, std::optional<double> seconds,
                        const common::InterruptSignals& interrupts)
{
    QEventLoop loop;
    // A timer holds at most about 24 days in its int milliseconds: a longer run re-arms it
    // until the run's end has come.
    const QDeadlineTimer end(seconds ? std::llround(*seconds * 1000) : -1);
    QTimer deadline;
    deadline.setSingleShot(true);
    const auto armDeadline = [&] {
        deadline.start(
            static_cast<int>(std::min<qint64>(end.remainingTime(), std::numeric_limits<int>::max())));
    };
    QObject::connect(&deadline, &QTimer::timeout, [&] { end.hasExpired() ? loop.quit() : armDeadline(); });
    if (seconds)
        armDeadline();
    // A run that is no longer running (the port went away) ends the capture.
    QTimer watch;
    watch.setInterval(kTickMilliseconds);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (run.state() != RunState::Running)
            loop.quit();
    });
    watch.start();
    QObject::connect(&interrupts, &common::InterruptSignals::interrupted, &loop, &QEventLoop::quit);
    // A signal that came while Calc started ends the run at once, as one after "Ready".
    if (interrupts.received() == 0)
        loop.exec();
    return run.state() != RunState::Running && interrupts.received() == 0;
}

// Saves the stopped run's workbook as the output; the exit status.
int saveCapture(const CaptureRun& run, const CaptureOptions& options, std::ostream& out, std::ostream& err)
{
    CaptureSheet* sheet = run.sheet();
    const std::string& path = options.outputPath;
    try {
        if (sheet == nullptr)
            throw SpreadsheetError(SpreadsheetFailure::Gone, "no capture workbook");
        out << "Saved: " << saveOutput(*sheet, path, options.outputNamed) << '\n';
        return 0;
    } catch (const SpreadsheetError& error) {
        // A workbook the run had lost by Stop (its application ended, it was closed) has
        // nothing to save: why it was lost is the truer reason.
        const RunPicture& stopped = run.picture();
        err << "The capture could not be saved as " << path << ": "
            << (stopped.blocked && !stopped.reason.empty() ? stopped.reason : error.what()) << '\n';
        return 1;
    }
}

void printSummary(const CaptureRun& run, const TerminalRunView& view, std::ostream& out)
{
    out << "Bytes received: " << view.bytesReceived() << '\n'
        << sheetSummary(run.parser().tally(), run.parser().limits(), kColumnLimit);
    out << "Journal: " << run.journal().summary() << '\n' << std::flush;
}

// Stops the run, saves its workbook, quits Calc and tells how it went; the exit status.
int endCapture(CaptureRun& run, const TerminalRunView& view, const CaptureOptions& options, bool portWentAway,
               std::ostream& out, std::ostream& err)
{
    run.stop();
    run.finishStopping();
    int status = saveCapture(run, options, out, err);
    run.quitSpreadsheet();
    printSummary(run, view, out);
    if (portWentAway)
        err << "The capture stopped: the COM port went away.\n";
    if (!run.everyLineWritten()) {
        err << "Not every line reached the sheet whole; the journal holds all the text received.\n";
        status = 1;
    }
    if (status == 0 && run.macroMissed()) {
        err << "The workbook was saved, but the end-of-run macro did not run.\n";
        status = kSavedWithoutMacro;
    }
    return status;
}

// The run as the options ask for it (its macro, the chart's readings), ticked by `timer`.
void setUpRun(CaptureRun& run, QtRunTimer& timer, const CaptureOptions& options, RunReadings& chartReadings)
{
    if (!options.chartPath.empty())
        run.setRowWatcher(&chartReadings);
    run.setMacro(!options.macro.empty(), options.macro);
    QObject::connect(&timer.timer, &QTimer::timeout,
                     [&run] { run.tick([] { QCoreApplication::processEvents(); }); });
}

// Tells why the run did not start and lets the spreadsheet application go; the exit status.
int startFailed(CaptureRun& run, std::ostream& err)
{
    // The view has printed the failure and its reason.
    if (run.picture().phase == RunPhase::WorkbookFailed)
        err << startFailureAdvice(run.picture().reason) << '\n';
    run.quitSpreadsheet();
    return 1;
}

}  // namespace

int runCaptureCommand(const CaptureOptions& options, std::ostream& out, std::ostream& err)
{
    // A reader that has gone (| head) must not end the capture: the summary is then
    // simply not shown, and the status is the run's own.
    std::signal(SIGPIPE, SIG_IGN);
    // In place before anything starts: a signal while Calc starts ends the run as one
    // after "Ready" does, once Start is done.
    common::InterruptSignals interrupts;
    const bool emulated = options.source != CaptureSource::Port;
    IniSettingsStore settings;
    // Read on a thread of its own: a fast device is read while rows are written.
    serial::BackgroundReadPort port(static_cast<std::size_t>(kPlentyOfText));
    port.setPortNumber(options.port.value_or(readCaptureSettings(settings).comPort));
    if (!emulated && !portOpens(port, options.port.has_value(), err))
        return 1;
    SerialPortSource portSource(port);
    EmulatorSource emulator;
    TextSource& source = emulated ? static_cast<TextSource&>(emulator) : portSource;

    OutputSpreadsheets spreadsheets(settings, options.outputPath);
    SystemTimeOfDay clock;
    TerminalRunView view(err);
    QtRunTimer timer;
    TerminalPrompter prompter(err);
    CaptureJournal journal(perUserDataFolder());
    RunReadings chartReadings(clock);
    CaptureRun run(CaptureRunParts{spreadsheets.factory(), source, clock, view, timer, prompter, journal});
    setUpRun(run, timer, options, chartReadings);

    // The instrument speaks from before Start, as a real one does while Calc opens.
    PacedInstruments instruments(emulator, options);
    if (emulated)
        instruments.start(options.source);
    if (!run.start())
        return startFailed(run, err);
    const bool portWentAway = captureUntilTheEnd(run, options.seconds, interrupts);
    instruments.stop();
    int status = endCapture(run, view, options, portWentAway, out, err);
    run.setRowWatcher(nullptr);
    if (status == 0 || status == kSavedWithoutMacro)
        spreadsheets.removeWorkingCopies();
    if (options.chartPath.empty())
        return status;
    return std::max(status, saveChart(chartReadings.readings(), "Readings of " + run.journal().path(),
                                      options.chartPath, out, err));
}

}  // namespace tabwright
