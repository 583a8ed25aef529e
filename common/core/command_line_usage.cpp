#include "common/core/command_line_usage.h"

namespace common {

std::optional<int> parseCommandLine(QCommandLineParser& parser, const QStringList& arguments,
                                    std::string_view command, std::ostream& err)
{
    if (!parser.parse(arguments)) {
        err << command << ": " << parser.errorText().toLocal8Bit().toStdString() << "; see " << command
            << " --help\n";
        return kUsageError;
    }
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    return std::nullopt;
}

}  // namespace common
