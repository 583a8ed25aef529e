#pragma once

#include <QByteArray>
#include <QProcess>

#include <string>

// A program that a test runs, its standard error read as it comes.
namespace testing_support {

// Reads the program's standard error into `errors` until it holds `text`; false when
// the program ends or stays silent for `timeoutMs` first.
inline bool readErrorsUntil(QProcess& program, QByteArray& errors, const char* text, int timeoutMs)
{
    while (!errors.contains(text)) {
        if (!program.waitForReadyRead(timeoutMs))
            return false;
        errors += program.readAllStandardError();
    }
    return true;
}

// Waits for the program's end, adds the rest of its standard error to `errors`, and
// gives its standard output.
inline std::string finishProgram(QProcess& program, QByteArray& errors, int timeoutMs)
{
    program.waitForFinished(timeoutMs);
    errors += program.readAllStandardError();
    return program.readAllStandardOutput().toStdString();
}

}  // namespace testing_support
