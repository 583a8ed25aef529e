#include "tabwright/cli/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>

#include <iostream>
#include <string>
#include <variant>

#include "common/core/command_line_usage.h"
#include "tabwright/cli/capture_command.h"
#include "tabwright/cli/capture_options.h"
#include "tabwright/cli/replay_command.h"

namespace tabwright {

namespace {

std::string timeStamp()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss")).toStdString();
}

int captureFromCommandLine(const QStringList& arguments)
{
    if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"))) {
        std::cout << captureHelp();
        return 0;
    }
    const auto parsed = parseCaptureOptions(arguments, defaultCaptureName(timeStamp()));
    if (const auto* problem = std::get_if<std::string>(&parsed)) {
        std::cerr << "tabwright capture: " << *problem << "; see tabwright capture --help\n";
        return common::kUsageError;
    }
    return runCaptureCommand(std::get<CaptureOptions>(parsed), std::cout, std::cerr);
}

}  // namespace

int runCommandLine()
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Captures what a K7RX fluorometer sends over its serial port into a live spreadsheet.\n"
        "Without arguments it opens its window.\n\n"
        "Commands:\n"
        "  capture [--port N | --emulate K7RX|VQ-480] [--seconds S] [--output FILE] [--macro NAME]\n"
        "          [--measurement MIN:MAX] [--temperature MIN:MAX] [--index TEXT] [--eol-frequency N]\n"
        "                                    capture without a window (see tabwright capture --help)\n"
        "  replay JOURNAL... [--output FILE | --format EXT] [--macro NAME]\n"
        "                                    rebuild a run's workbook from its journal (see tabwright replay "
        "--help)");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("command", "capture or replay", "<command> [arguments]");
    const QStringList arguments = QCoreApplication::arguments();
    parser.parse(arguments);
    if (!parser.positionalArguments().isEmpty() && parser.positionalArguments().first() == "capture")
        return captureFromCommandLine(arguments);
    if (!parser.positionalArguments().isEmpty() && parser.positionalArguments().first() == "replay")
        return runReplayCommand(arguments, std::cout, std::cerr);
    if (!parser.unknownOptionNames().isEmpty() || !parser.positionalArguments().isEmpty()) {
        std::cerr << "tabwright: unknown command or option; see tabwright --help\n";
        return common::kUsageError;
    }
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();
    parser.showHelp(0);
}

}  // namespace tabwright
