#pragma once

#include <QCommandLineParser>
#include <QStringList>

#include <iostream>
#include <optional>
#include <string_view>

namespace common {

// The exit status of a command line the program cannot use.
inline constexpr int kUsageError = 2;

// Parses a command's arguments. --help shows the help and ends the program
// with 0; an unknown option or an option without its value is told on
// `err` (stderr) with the command's name and gives kUsageError. Nothing when
// the command may go on.
std::optional<int> parseCommandLine(QCommandLineParser& parser, const QStringList& arguments,
                                    std::string_view command, std::ostream& err = std::cerr);

}  // namespace common
