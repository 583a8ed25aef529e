#include "logfetch/cli/download_command_line.h"

#include <QCommandLineParser>

#include <csignal>
#include <iostream>
#include <optional>

#include "common/core/command_line_usage.h"
#include "common/core/interrupt_signals.h"
#include "common/core/program_folder.h"
#include "logfetch/cli/download_command.h"
#include "logfetch/download/time_of_day_clock.h"
#include "logfetch/ports/serialport_cfg.h"
#include "serial/port_numbering.h"
#include "serial/qt_serial_port.h"

namespace logfetch {

namespace {

// --port's number in plain decimal; nothing, told on `err`, when `text` is no port number.
// On the command line a port is a whole number, never "1e1" or "3abc".
std::optional<std::string> portTextOf(const std::string& text, std::ostream& err)
{
    const std::optional<int> number = serial::portNumberOfText(text);
    if (!number) {
        err << "logfetch download: --port takes a COM port number from 1 to 16, not \"" << text << "\"\n";
        return std::nullopt;
    }
    return std::to_string(*number);
}

}  // namespace

std::variant<DownloadOptions, int> parseDownloadCommandLine(const QStringList& arguments, std::ostream& err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Downloads the instrument's data-logger memory into a .BIN file, without a window.\n"
        "Start the transfer on the instrument once the command waits for it; Ctrl-C cancels.\n"
        "Progress goes to standard error, the final counts to standard output. The exit status is 0\n"
        "only when the whole log arrived and was saved; an incomplete download is saved all the same.");
    parser.addHelpOption();
    parser.addPositionalArgument("download", "Download the data log.", "download");
    const QCommandLineOption port(
        "port", "The COM port number (default: the one saved by Serial Port Setup, else 1).", "N");
    const QCommandLineOption output("output",
                                    "The file to save the download in (default: Idatalog.bin here).",
                                    "FILE.BIN", kDefaultBinFileName);
    const QCommandLineOption force("force", "Replace the output file if it exists.");
    parser.addOptions({port, output, force});
    if (const std::optional<int> usage =
            common::parseCommandLine(parser, arguments, "logfetch download", err))
        return *usage;
    if (parser.positionalArguments().size() > 1) {
        err << "logfetch download: takes no file names; use --output FILE.BIN\n";
        return common::kUsageError;
    }

    DownloadOptions options;
    if (parser.isSet(port)) {
        options.portText = portTextOf(parser.value(port).toLocal8Bit().toStdString(), err);
        if (!options.portText)
            return common::kUsageError;
    }
    options.outputPath = parser.value(output).toLocal8Bit().toStdString();
    if (options.outputPath.empty()) {
        err << "logfetch download: --output needs a file name\n";
        return common::kUsageError;
    }
    options.force = parser.isSet(force);
    return options;
}

int downloadFromCommandLine(const QStringList& arguments)
{
    auto parsed = parseDownloadCommandLine(arguments, std::cerr);
    if (const int* usage = std::get_if<int>(&parsed))
        return *usage;
    DownloadOptions options = std::move(std::get<DownloadOptions>(parsed));

    // A closed terminal or pipe must not end the download before it is
    // saved: what is written there is then simply not seen.
    std::signal(SIGPIPE, SIG_IGN);

    int signalNumber = 0;
    int status = 0;
    {
        serial::QtSerialPort serialPort;
        TimeOfDayClock clock;
        DownloadCommand command(std::move(options), common::programFolder(), serialPort, clock, std::cout,
                                std::cerr);
        common::InterruptSignals interrupts;
        QObject::connect(&interrupts, &common::InterruptSignals::interrupted,
                         [&command] { command.cancel(); });
        status = command.run();
        signalNumber = interrupts.received();
    }
    if (signalNumber != 0)
        common::endBySignal(signalNumber);
    return status;
}

}  // namespace logfetch
