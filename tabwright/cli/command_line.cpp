#include "tabwright/cli/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <iostream>

namespace tabwright {

int runCommandLine()
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Captures what a K7RX fluorometer sends over its serial port into a live spreadsheet.\n"
        "Without arguments it opens its window.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.parse(QCoreApplication::arguments());
    if (!parser.unknownOptionNames().isEmpty() || !parser.positionalArguments().isEmpty()) {
        std::cerr << "tabwright: unknown command or option; see tabwright --help\n";
        return kUsageError;
    }
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();
    parser.showHelp(0);
}

}  // namespace tabwright
