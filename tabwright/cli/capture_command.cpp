#include "tabwright/cli/capture_command.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <csignal>
#include <memory>

#include "common/core/interrupt_signals.h"
#include "common/core/prompter.h"
#include "serial/qt_serial_port.h"
#include "tabwright/calc/calc_spreadsheet_factory.h"
#include "tabwright/capture/capture_run.h"
#include "tabwright/capture/capture_settings.h"
#include "tabwright/capture/emulator_handover.h"
#include "tabwright/capture/ini_settings_store.h"
#include "tabwright/cli/csv_spreadsheet.h"
#include "tabwright/cli/emulator_only_port.h"
#include "tabwright/cli/terminal_run_view.h"
#include "tabwright/emulator/emulated_instruments.h"

namespace tabwright {

namespace {

constexpr int kTickMilliseconds = 100;
constexpr int kEmulatorPaceMilliseconds = 250;

// Each Start's sheet kept in memory, to be written as CSV; no template needed.
class CsvSpreadsheetFactory : public SpreadsheetFactory {
public:
    explicit CsvSpreadsheetFactory(std::string outputName) : outputName_(std::move(outputName)) {}
    std::shared_ptr<Spreadsheet> makeSpreadsheet() override
    {
        return std::make_shared<CsvSpreadsheet>(outputName_);
    }
    std::string prepareWorkingCopy() override { return outputName_; }

private:
    std::string outputName_;
};

// Messages a run shows in a message box are lines on the terminal.
class TerminalPrompter : public common::Prompter {
public:
    explicit TerminalPrompter(std::ostream& err) : err_(err) {}
    void showMessage(std::string_view message) override { err_ << message << '\n' << std::flush; }

private:
    std::ostream& err_;
};

class QtRunTimer : public RunTimer {
public:
    QTimer timer;
    void setTimerEnabled(bool enabled) override { enabled ? timer.start(kTickMilliseconds) : timer.stop(); }
    void rearmAtOnce() override { timer.start(0); }
};

void setUpModels(EmulatedInstruments& instruments, const CaptureOptions& options)
{
    K7rxModel& k7rx = instruments.k7rx;
    k7rx.setMinMeasurement(static_cast<std::int16_t>(options.measurement.minimum));
    k7rx.setMaxMeasurement(static_cast<std::int16_t>(options.measurement.maximum));
    k7rx.setMinTemperature(static_cast<std::int16_t>(options.temperature.minimum));
    k7rx.setMaxTemperature(static_cast<std::int16_t>(options.temperature.maximum));
    k7rx.setFourDigitIndex(options.index);
    instruments.vq480.setEOLFrequency(static_cast<std::int16_t>(options.eolFrequency));
}

// Whether the port can be opened, told with the serial service's hint when it cannot;
// checked before the spreadsheet application starts for nothing.
bool portOpens(serial::SerialPort& port, std::ostream& err)
{
    try {
        port.open();
        port.close();
        return true;
    } catch (const serial::PortError& error) {
        err << "COM port not available: COM" << port.portNumber() << ". " << error.hint() << '\n';
        return false;
    }
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
    EmulatedInstruments instruments;
    setUpModels(instruments, options);
    InstrumentModel& model = options.source == CaptureSource::EmulatedVq480
                                 ? static_cast<InstrumentModel&>(instruments.vq480)
                                 : static_cast<InstrumentModel&>(instruments.k7rx);

    serial::QtSerialPort serialPort;
    EmulatorOnlyPort emulatorPort;
    serial::SerialPort& port = emulated ? static_cast<serial::SerialPort&>(emulatorPort) : serialPort;
    port.setPortNumber(options.port.value_or(readCaptureSettings(settings).comPort));
    if (!emulated && !portOpens(port, err))
        return 1;

    CalcSpreadsheetFactory calc;
    CsvSpreadsheetFactory csv(options.outputPath);
    SpreadsheetFactory& spreadsheets =
        options.outputKind == OutputKind::Csv ? static_cast<SpreadsheetFactory&>(csv) : calc;
    EmulatorHandover handover;
    handover.setEmulatorOpen(emulated);
    SystemTimeOfDay clock;
    TerminalRunView view(err);
    QtRunTimer timer;
    TerminalPrompter prompter(err);
    CaptureRun run(
        CaptureRunParts{spreadsheets, port, handover, clock, view, timer, prompter, perUserDataFolder()});
    run.setMacro(!options.macro.empty(), options.macro);

    QObject::connect(&timer.timer, &QTimer::timeout,
                     [&run] { run.tick([] { QCoreApplication::processEvents(); }); });

    if (!run.Start()) {
        err << view.lastStatus() << ": ";
        if (view.lastStatus() == "MS Excel not available")
            err << "LibreOffice Calc could not be started or could not open the capture workbook. Is "
                   "LibreOffice installed (apt-get install libreoffice-calc)? Without it, save to a .csv "
                   "file (--output NAME.csv).\n";
        else
            err << "COM" << port.portNumber() << " could not be opened.\n";
        run.quitSpreadsheet();
        return 1;
    }

    // The emulated instrument speaks every 250 ms from the moment the run starts.
    // Nobody watches it here, so it waits while the capture has not taken its
    // last output: a busy machine slows it down instead of losing lines.
    QTimer pace;
    pace.setInterval(kEmulatorPaceMilliseconds);
    QObject::connect(&pace, &QTimer::timeout, [&] {
        if (handover.PendingEmulatorOutput().empty())
            handover.leaveOutput(model.nextOutput());
    });
    if (emulated)
        pace.start();

    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    if (options.seconds)
        deadline.start(static_cast<int>(*options.seconds * 1000));
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
    pace.stop();

    const bool portWentAway = run.state() != RunState::Running && interrupts.received() == 0;
    run.Stop();
    run.finishStopping();
    int status = 0;
    Spreadsheet* sheet = run.ExcelApp();
    try {
        if (sheet == nullptr)
            throw SpreadsheetError(SpreadsheetFailure::Gone, "no capture workbook");
        sheet->saveWorkbookAs(options.outputPath);
        out << "Saved: " << options.outputPath << '\n';
    } catch (const SpreadsheetError& error) {
        err << "The capture could not be saved as " << options.outputPath << ": " << error.what() << '\n';
        status = 1;
    }
    run.quitSpreadsheet();
    out << "Bytes received: " << view.bytesReceived() << '\n'
        << "Rows written: " << run.parser().RowsWritten() << '\n';
    out << "Journal: " << run.journal().summary() << '\n' << std::flush;
    if (portWentAway)
        err << "The capture stopped: the COM port went away.\n";
    if (!run.everyLineWritten()) {
        err << "Not every line reached the sheet whole; the journal holds all the text received.\n";
        status = 1;
    }
    return status;
}

}  // namespace tabwright
