#pragma once

#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace testing_support {

// Ends a fuzz target's run with `what` when a property does not hold, so the input is kept.
inline void fuzzCheck(bool holds, const char* what)
{
    if (holds)
        return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

// A fuzzer's input as a command line: the program's name and its command first, then
// one argument per line of the input (each line read as the terminal's text).
inline QStringList argumentsOf(const std::uint8_t* data, std::size_t size, const QStringList& leading)
{
    QStringList arguments = leading;
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        const std::string_view argument = rest.substr(0, end);
        arguments.push_back(QString::fromLocal8Bit(argument.data(), static_cast<qsizetype>(argument.size())));
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    }
    return arguments;
}

// True when an argument would ask for the help text, which ends the program.
inline bool asksForHelp(const QStringList& arguments)
{
    for (const QString& argument : arguments)
        if (argument.startsWith(QLatin1Char('-')) &&
            (argument.contains(QLatin1Char('h')) || argument.contains(QLatin1Char('?'))))
            return true;
    return false;
}

}  // namespace testing_support
