#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "common/program_folder.h"
#include "logfetch/convert/convert_command.h"
#include "logfetch/download/download_command_line.h"
#include "logfetch/download/usage_error.h"
#include "logfetch/shell/logfetch_windows.h"
#include "logfetch/shell/main_window.h"
#include "logfetch/shell/program_identity.h"

namespace {

constexpr char kConvertCommand[] = "convert";
constexpr char kDownloadCommand[] = "download";

int convertFromCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Converts each .BIN data log into a .PRN report and a .CSV table beside it.");
    parser.addHelpOption();
    parser.addPositionalArgument("convert", "Convert .BIN files.", "convert");
    parser.addPositionalArgument("files", "The .BIN files to convert.", "FILE.BIN [FILE.BIN ...]");
    if (const std::optional<int> usage = logfetch::parseCommandLine(parser, arguments, "logfetch convert"))
        return *usage;

    const QStringList files = parser.positionalArguments().mid(1);
    if (files.isEmpty()) {
        std::cerr << "logfetch convert: name at least one .BIN file\n";
        return logfetch::kUsageError;
    }
    std::vector<std::string> paths;
    for (const QString& file : files)
        paths.push_back(file.toLocal8Bit().toStdString());
    return logfetch::runConvertCommand(paths, std::cout, std::cerr);
}

void nameTheProgram()
{
    QCoreApplication::setApplicationName(
        QString::fromLatin1(logfetch::kProgramTitle.data(), static_cast<qsizetype>(logfetch::kProgramTitle.size())));
    QCoreApplication::setApplicationVersion(QString::fromStdString(logfetch::versionNumber()));
}

// Without a display there is no window to open; say what can be done instead
// rather than letting the window system abort the program.
bool displayReachable()
{
    return std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr ||
           std::getenv("QT_QPA_PLATFORM") != nullptr;
}

int runMainWindow(int argc, char* argv[])
{
    if (!displayReachable()) {
        std::cerr << "logfetch: no display to open the window on; logfetch convert works without one "
                     "(see logfetch --help)\n";
        return 2;
    }
    QApplication app(argc, argv);
    nameTheProgram();
    logfetch::StepValues values;
    const std::string programFolder = common::programFolder();
    logfetch::LogfetchWindows steps(values, programFolder);
    logfetch::frmMain window(values, steps, programFolder);
    window.show();
    return QApplication::exec();
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc <= 1)
        return runMainWindow(argc, argv);

    QCoreApplication app(argc, argv);
    nameTheProgram();

    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Downloads the data-logger memory of a K7RX fluorometer and converts .BIN data logs.\n"
        "Without a command it opens its window.\n\n"
        "Commands:\n"
        "  convert FILE.BIN [FILE.BIN ...]   write FILE.PRN and FILE.CSV beside each file\n"
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
        return logfetch::downloadFromCommandLine(QCoreApplication::arguments());
    if (!parser.unknownOptionNames().isEmpty() || !positional.isEmpty()) {
        std::cerr << "logfetch: unknown command or option; see logfetch --help\n";
        return 2;
    }
    if (parser.isSet("version"))
        parser.showVersion();
    parser.showHelp(0);
}
