// "tabwright capture" into an .ods through a real headless Calc, the saved
// workbook read back by a separate LibreOffice conversion to CSV.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QProcess>

#include <string>
#include <vector>

#include "testing/event_loop.h"
#include "testing/file_contents.h"
#include "testing/port_mapping.h"
#include "testing/program_output.h"
#include "testing/pty_instrument.h"
#include "testing/temp_folder.h"

namespace tabwright {
namespace {

constexpr int kPort = 8;
constexpr int kTimeoutMs = 120000;

// The fields of a CSV line, quotes taken off (no field here holds a comma or a quote).
std::vector<std::string> fields(const std::string& line)
{
    std::vector<std::string> result;
    std::string field;
    for (char c : line + ",") {
        if (c == ',') {
            result.push_back(field);
            field.clear();
        } else if (c != '"' && c != '\r') {
            field += c;
        }
    }
    return result;
}

TEST(TabwrightCaptureIntoCalc, LinesFromThePortAreInTheSavedWorkbook)
{
    testing_support::ensureCoreApplication();
    testing_support::TemporaryPortMapping mapping;
    testing_support::PtyInstrument pty;
    testing_support::TempFolder work;
    mapping.map(kPort, pty.devicePath());

    QProcess program;
    program.setWorkingDirectory(QString::fromStdString(work.path()));
    program.setReadChannel(QProcess::StandardError);
    program.start(TABWRIGHT_PROGRAM,
                  {"capture", "--port", QString::number(kPort), "--seconds", "3", "--output", "run.ods"});
    QByteArray errors;
    ASSERT_TRUE(testing_support::readErrorsUntil(program, errors, "Ready", kTimeoutMs))
        << errors.toStdString();
    pty.send("0007\t12/08/26\t14:03:27\tA1\r\n0008\t12/08/26\t14:03:28\tB2\r\n");
    ASSERT_TRUE(program.waitForFinished(kTimeoutMs));
    errors += program.readAllStandardError();
    ASSERT_EQ(program.exitCode(), 0) << errors.toStdString();

    QProcess convert;
    convert.setWorkingDirectory(QString::fromStdString(work.path()));
    convert.start("soffice", {QString::fromStdString("-env:UserInstallation=file://" + work.file("profile")),
                              "--headless", "--convert-to", "csv", "--outdir", "out", "run.ods"});
    ASSERT_TRUE(convert.waitForFinished(kTimeoutMs));
    const std::string csv = testing_support::readFile(work.file("out/run.csv"));
    const std::vector<std::string> expected[] = {{"0007", "12/08/26", "14:03:27", "A1"},
                                                 {"0008", "12/08/26", "14:03:28", "B2"}};
    std::size_t at = 0;
    for (const auto& row : expected) {
        const std::size_t end = csv.find('\n', at);
        ASSERT_NE(end, std::string::npos) << csv;
        EXPECT_EQ(fields(csv.substr(at, end - at)), row) << csv;
        at = end + 1;
    }
}

}  // namespace
}  // namespace tabwright
