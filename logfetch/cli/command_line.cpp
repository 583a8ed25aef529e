#include "logfetch/cli/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "common/chart/chart_file_kind.h"
#include "common/core/command_line_usage.h"
#include "logfetch/cli/convert_command.h"
#include "logfetch/cli/download_command_line.h"

namespace logfetch {

namespace {

constexpr char kConvertCommand[] = "convert";
constexpr char kDownloadCommand[] = "download";

// Whether --chart FILE can be drawn for `fileCount` .BIN files, told when it cannot.
bool chartFits(const std::string& chartPath, qsizetype fileCount)
{
    if (!common::chartFileKind(chartPath)) {
        std::cerr << "logfetch convert: " << common::chartFileKindRefusal(chartPath) << '\n';
        return false;
    }
    if (fileCount > 1) {
        std::cerr
            << "logfetch convert: --chart names the chart of one .BIN; convert one file at a time with it\n";
        return false;
    }
    return true;
}

int convertFromCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Converts each .BIN data log into a .PRN report and a .CSV table beside it.");
    parser.addHelpOption();
    parser.addPositionalArgument("convert", "Convert .BIN files.", "convert");
    parser.addPositionalArgument("files", "The .BIN files to convert.", "FILE.BIN [FILE.BIN ...]");
    const QCommandLineOption chart(
        "chart",
        "Also draw the readings and temperatures of each data set over its logged time into FILE "
        "(.png or .svg; one .BIN only). A log of several data sets gives FILE-1, FILE-2... "
        "(NAME-1.svg, NAME-2.svg).",
        "FILE");
    parser.addOption(chart);
    if (const std::optional<int> usage = common::parseCommandLine(parser, arguments, "logfetch convert"))
        return *usage;

    const QStringList files = parser.positionalArguments().mid(1);
    if (files.isEmpty()) {
        std::cerr << "logfetch convert: name at least one .BIN file\n";
        return common::kUsageError;
    }
    const std::string chartPath = parser.value(chart).toLocal8Bit().toStdString();
    if (parser.isSet(chart) && !chartFits(chartPath, files.size()))
        return common::kUsageError;
    std::vector<std::string> paths;
    for (const QString& file : files)
        paths.push_back(file.toLocal8Bit().toStdString());
    return runConvertCommand(paths, std::cout, std::cerr, chartPath);
}

}  // namespace

int runCommandLine()
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Downloads the data-logger memory of a K7RX fluorometer and converts .BIN data logs.\n"
        "Without a command it opens its window.\n\n"
        "Commands:\n"
        "  convert FILE.BIN [FILE.BIN ...]   write FILE.PRN and FILE.CSV beside each file\n"
        "  convert FILE.BIN --chart CHART.svg|CHART.png\n"
        "                                    also draw each data set's readings into a chart\n"
        "  download [--port N] [--output FILE.BIN] [--force]\n"
        "                                    download the data log into a .BIN file");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("command", "convert or download", "<command> [arguments]");
    parser.parse(QCoreApplication::arguments());

    const QStringList positional = parser.positionalArguments();
    if (!positional.isEmpty() && positional.first() == kConvertCommand)
        return convertFromCommandLine(QCoreApplication::arguments());
    if (!positional.isEmpty() && positional.first() == kDownloadCommand)
        return downloadFromCommandLine(QCoreApplication::arguments());
    if (!parser.unknownOptionNames().isEmpty() || !positional.isEmpty()) {
        std::cerr << "logfetch: unknown command or option; see logfetch --help\n";
        return common::kUsageError;
    }
    if (parser.isSet("version"))
        parser.showVersion();
    parser.showHelp(0);
}

}  // namespace logfetch
