// Runs the real "tabwright capture" against a pseudo-terminal instrument and
// checks every cell it saves against what the capture's parse makes of the
// same text; then "tabwright replay" on the journals it kept.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QProcess>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <regex>
#include <string>

#include "tabwright/capture/capture_parser.h"
#include "tabwright/capture/spreadsheet_row_sink.h"
#include "tabwright/cli/csv_spreadsheet.h"
#include "testing/event_loop.h"
#include "testing/file_contents.h"
#include "testing/port_mapping.h"
#include "testing/program_output.h"
#include "testing/pty_instrument.h"
#include "testing/temp_folder.h"

namespace tabwright {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

constexpr int kPort = 7;
constexpr int kTimeoutMs = 30000;

const std::string kK7rxLines =
    "0007\t12/08/26\t14:03:27\t57\t43\r\n"
    "0008\t12/08/26\t14:03:28\t0012\t\t-1.5\r\n"
    "Unit:: mg/L = 12 \t x\r\n"
    "0009\t12/08/26\t14:03:29\t\xB0"
    "C\t\"quoted\"\r\n";
const std::string kVq480Blocks = "9999\r\n9999\r\n\r\n\r\n\r\n9999\r\n1234\t5\r\n\r\n\r\n\r\n9999\r\n";

class FixedTime : public TimeOfDay {
public:
    std::int32_t millisecondsSinceMidnight() override { return 12 * 3600 * 1000; }
};

// The CSV the capture must save for `text`, with every time stamp as "T".
std::string expectedCsv(const std::string& text)
{
    FixedTime clock;
    CaptureParser parser(clock);
    parser.startRun();
    CsvSpreadsheet sheet("expected.csv");
    SpreadsheetRowSink sink(sheet);
    parser.append(text);
    parser.ProcessReceivedText(sink);
    return sheet.csvText();
}

// Separator time stamps differ from run to run: each bare number becomes "T".
std::string withoutStamps(const std::string& csv)
{
    return std::regex_replace(csv, std::regex("(^|,)[0-9.]+(?=,|\r\n)"), "$1T");
}

class TabwrightCapture : public ::testing::Test {
protected:
    TabwrightCapture()
    {
        testing_support::ensureCoreApplication();
        mapping.map(kPort, pty.devicePath());  // inherited by the program through XDG_CONFIG_HOME
        program.setWorkingDirectory(QString::fromStdString(work.path()));
        program.setReadChannel(QProcess::StandardError);
        // The journals go to the test's own data folder.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_DATA_HOME", QString::fromStdString(work.file("data")));
        program.setProcessEnvironment(environment);
    }
    ~TabwrightCapture() override
    {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished();
        }
    }
    void start(const QStringList& arguments, const char* command = "capture")
    {
        program.start(TABWRIGHT_PROGRAM, QStringList{command} + arguments);
    }
    // Runs "tabwright replay" to its end; its standard output.
    std::string replay(const QStringList& arguments)
    {
        errors.clear();
        start(arguments, "replay");
        return finish();
    }
    // The journal a capture's summary names.
    static std::string journalOf(const std::string& summary)
    {
        std::smatch found;
        return std::regex_search(summary, found, std::regex("Journal: (.*)\n")) ? found[1].str() : "";
    }
    // Until the program's status line says `text`.
    bool waitFor(const char* text)
    {
        return testing_support::readErrorsUntil(program, errors, text, kTimeoutMs);
    }
    std::string finish() { return testing_support::finishProgram(program, errors, kTimeoutMs); }

    testing_support::TemporaryPortMapping mapping;
    testing_support::PtyInstrument pty;
    testing_support::TempFolder work;
    QProcess program;
    QByteArray errors;
};

TEST_F(TabwrightCapture, LinesAndBlocksFromThePortReachEveryCellOfTheCsv)
{
    for (const std::string& text : {kK7rxLines, kVq480Blocks}) {
        errors.clear();
        start({"--port", QString::number(kPort), "--seconds", "2", "--output", "run.csv"});
        ASSERT_TRUE(waitFor("Ready")) << errors.toStdString();
        pty.send(text);
        const std::string summary = finish();
        EXPECT_EQ(program.exitCode(), 0) << errors.toStdString();
        EXPECT_THAT(summary, HasSubstr("Saved: run.csv"));
        EXPECT_THAT(summary, HasSubstr("Bytes received: " + std::to_string(text.size())));
        EXPECT_EQ(withoutStamps(testing_support::readFile(work.file("run.csv"))),
                  withoutStamps(expectedCsv(text)));
    }
}

TEST_F(TabwrightCapture, TheEmulatedVq480SendsItsSequenceFromReset)
{
    start({"--emulate", "VQ-480", "--eol-frequency", "2", "--seconds", "2.1", "--output", "vq.csv"});
    const std::string summary = finish();
    ASSERT_EQ(program.exitCode(), 0) << errors.toStdString();
    // After reset the group comes first (a time stamp in row 1 and a new column), then two
    // "9999" lines below it before the next group opens the next column.
    const std::string csv = withoutStamps(testing_support::readFile(work.file("vq.csv")));
    // How many groups the run took depends on how the seconds fell; their shape does not.
    EXPECT_THAT(csv, ::testing::MatchesRegex(",T(,T)+\r\n"
                                             "(,\"9999\"(,\"9999\")*,?\r\n){2}"))
        << csv;
    // The rows the sheet holds, not the row the last block reached.
    const auto rows = std::count(csv.begin(), csv.end(), '\n');
    EXPECT_THAT(summary, HasSubstr("Rows written: " + std::to_string(rows) + "\n")) << csv;
}

TEST_F(TabwrightCapture, ALineWiderThanTheSheetIsCutAndTheRunGoesOnButEndsWithStatus1)
{
    std::string wide = "tag ::";
    for (int field = 1; field <= 20000; ++field) {
        wide += ' ';
        wide += std::to_string(field);
    }
    wide += "\r\n";
    const std::string after = "0007\t12/08/26\t14:03:27\t57\r\n";
    start({"--port", QString::number(kPort), "--seconds", "3", "--output", "run.csv"});
    ASSERT_TRUE(waitFor("Ready")) << errors.toStdString();
    pty.send(wide + after);
    const std::string summary = finish();
    EXPECT_EQ(program.exitCode(), 1) << errors.toStdString();
    EXPECT_THAT(summary, HasSubstr("Bytes received: " + std::to_string(wide.size() + after.size())));
    EXPECT_THAT(errors.toStdString(), HasSubstr("cut at its last column"));
    EXPECT_THAT(errors.toStdString(), HasSubstr("row 1, 3,617 cells left out"));
    EXPECT_THAT(summary, HasSubstr("Rows written: 2\n"));
    const std::string csv = testing_support::readFile(work.file("run.csv"));
    const std::string firstRow = csv.substr(0, csv.find("\r\n"));
    EXPECT_EQ(std::count(firstRow.begin(), firstRow.end(), ','), 16383);
    EXPECT_THAT(firstRow, ::testing::EndsWith(",\"16383\""));
    EXPECT_THAT(csv, HasSubstr("\r\n\"0007\",\"12/08/26\",\"14:03:27\",\"57\""));
}

// A run as a shell runs it: `command` with PROGRAM standing for the program.
void startInShell(QProcess& program, const QString& command)
{
    QString line = command;
    line.replace("PROGRAM", TABWRIGHT_PROGRAM);
    program.start("/bin/bash", {"-c", "set -o pipefail; " + line});
}

TEST_F(TabwrightCapture, AClosedOutputOrErrorPipeNeitherStopsTheRunNorChangesItsStatus)
{
    for (const char* redirection : {"| true", "2>&1 | true"}) {
        errors.clear();
        std::filesystem::remove(work.file("run.csv"));
        startInShell(program,
                     QString("PROGRAM capture --emulate K7RX --seconds 1.5 --output run.csv ") + redirection);
        finish();
        EXPECT_EQ(program.exitCode(), 0) << redirection << errors.toStdString();
        EXPECT_THAT(testing_support::readFile(work.file("run.csv")), HasSubstr("\"0000\"")) << redirection;
    }
}

TEST_F(TabwrightCapture, AHangUpIgnoredAtStartStaysIgnored)
{
    startInShell(program,
                 "trap '' HUP; exec PROGRAM capture --port " + QString::number(kPort) + " --output run.csv");
    ASSERT_TRUE(waitFor("Ready")) << errors.toStdString();
    ::kill(static_cast<pid_t>(program.processId()), SIGHUP);
    pty.send(kK7rxLines);
    ASSERT_TRUE(waitFor("Bytes Received")) << errors.toStdString();
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    finish();
    EXPECT_EQ(program.exitCode(), 0) << errors.toStdString();
    EXPECT_EQ(testing_support::readFile(work.file("run.csv")), expectedCsv(kK7rxLines));
}

TEST_F(TabwrightCapture, AJournalThatCannotBeMadeIsNamedAsNone)
{
    // The data folder's place holds a file, so no journal folder can be made in it.
    std::filesystem::create_directory(work.file("data"));
    testing_support::writeText(work.file("data/Tabwright"), "not a folder");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_DATA_HOME", QString::fromStdString(work.file("data")));
    program.setProcessEnvironment(environment);
    start({"--emulate", "K7RX", "--seconds", "1", "--output", "run.csv"});
    const std::string summary = finish();
    EXPECT_EQ(program.exitCode(), 0) << errors.toStdString();
    EXPECT_THAT(summary, HasSubstr("Journal: none: Not a directory\n"));
}

TEST_F(TabwrightCapture, CtrlCStopsTheRunAndSavesWhatCame)
{
    start({"--port", QString::number(kPort), "--output", "run.csv"});
    ASSERT_TRUE(waitFor("Ready")) << errors.toStdString();
    pty.send(kK7rxLines);
    ASSERT_TRUE(waitFor("Bytes Received")) << errors.toStdString();
    testing_support::runEventsFor(std::chrono::milliseconds(300));
    ::kill(static_cast<pid_t>(program.processId()), SIGINT);
    finish();
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0) << errors.toStdString();
    EXPECT_EQ(testing_support::readFile(work.file("run.csv")), expectedCsv(kK7rxLines));
}

TEST_F(TabwrightCapture, ARunLongerThanATimerHoldsKeepsRunningUntilCtrlC)
{
    // 3,000,000 s is more milliseconds than an int holds.
    start({"--port", QString::number(kPort), "--seconds", "3000000", "--output", "run.csv"});
    ASSERT_TRUE(waitFor("Ready")) << errors.toStdString();
    pty.send(kK7rxLines);
    ASSERT_TRUE(waitFor("Bytes Received")) << errors.toStdString();
    ::kill(static_cast<pid_t>(program.processId()), SIGINT);
    finish();
    EXPECT_EQ(program.exitCode(), 0) << errors.toStdString();
    EXPECT_THAT(errors.toStdString(), Not(HasSubstr("negative"))) << "the timer refused the run's length";
    EXPECT_EQ(testing_support::readFile(work.file("run.csv")), expectedCsv(kK7rxLines));
}

TEST_F(TabwrightCapture, APulledCableEndsTheRunWithWhatCameBefore)
{
    start({"--port", QString::number(kPort), "--output", "run.csv"});
    ASSERT_TRUE(waitFor("Ready")) << errors.toStdString();
    pty.send(kK7rxLines);
    ASSERT_TRUE(waitFor("Bytes Received")) << errors.toStdString();
    pty.pullCable();
    finish();
    EXPECT_EQ(program.exitCode(), 0) << errors.toStdString();
    EXPECT_THAT(errors.toStdString(), HasSubstr("the COM port went away"));
    EXPECT_EQ(testing_support::readFile(work.file("run.csv")), expectedCsv(kK7rxLines));
}

TEST_F(TabwrightCapture, AJournalReplaysIntoTheSameCsvCellForCell)
{
    start({"--emulate", "VQ-480", "--eol-frequency", "3", "--seconds", "2.1", "--output", "live.csv"});
    const std::string journal = journalOf(finish());
    ASSERT_EQ(program.exitCode(), 0) << errors.toStdString();
    ASSERT_TRUE(std::filesystem::exists(journal + ".reads")) << journal;

    const std::string summary = replay({QString::fromStdString(journal), "--output", "replayed.csv"});
    EXPECT_EQ(program.exitCode(), 0) << errors.toStdString();
    EXPECT_THAT(summary, HasSubstr("Saved: replayed.csv"));
    EXPECT_EQ(errors.toStdString().find("reads file"), std::string::npos) << errors.toStdString();
    // Into a pipe the progress is a line of its own at every tenth, never rewritten in place.
    EXPECT_EQ(errors.toStdString().find('\r'), std::string::npos) << errors.toStdString();
    EXPECT_THAT(errors.toStdString(), HasSubstr("Replaying " + journal + ": 100%\n"));
    const std::string live = testing_support::readFile(work.file("live.csv"));
    EXPECT_THAT(live, HasSubstr("9999"));
    // The block stamps too: the replay gives them the run's times.
    EXPECT_EQ(testing_support::readFile(work.file("replayed.csv")), live);
}

TEST_F(TabwrightCapture, AKilledCaptureReplaysUpToItsLastRead)
{
    start({"--port", QString::number(kPort), "--output", "run.csv"});
    ASSERT_TRUE(waitFor("Ready")) << errors.toStdString();
    pty.send(kK7rxLines + "unfinished\t1");
    ASSERT_TRUE(waitFor("Bytes Received")) << errors.toStdString();
    testing_support::runEventsFor(std::chrono::milliseconds(300));
    ::kill(static_cast<pid_t>(program.processId()), SIGKILL);
    finish();
    const auto journals = std::filesystem::directory_iterator(work.file("data/Tabwright/journal"));
    std::string journal;
    for (const auto& entry : journals)
        if (entry.path().extension() == ".txt")
            journal = entry.path().string();
    ASSERT_FALSE(journal.empty());

    const std::string summary = replay({QString::fromStdString(journal), "--format", "csv"});
    EXPECT_EQ(program.exitCode(), 0) << errors.toStdString();
    EXPECT_THAT(errors.toStdString(), HasSubstr("did not end with Stop"));
    const std::string name = std::filesystem::path(journal).stem().string() + ".csv";
    EXPECT_THAT(summary, HasSubstr("Saved: " + name));
    EXPECT_EQ(testing_support::readFile(work.file(name)), expectedCsv(kK7rxLines + "unfinished\t1\r\n"));

    // A second replay leaves the first one's file alone.
    replay({QString::fromStdString(journal), "--format", "csv"});
    EXPECT_EQ(program.exitCode(), 1);
    EXPECT_THAT(errors.toStdString(), HasSubstr("exists and is left as it is"));
}

TEST_F(TabwrightCapture, ReplayArgumentsAreCheckedBeforeAnythingOpens)
{
    const struct {
        QStringList arguments;
        int status;
        const char* told;
    } cases[] = {
        {{}, 2, "name at least one journal"},
        {{"a.txt", "b.txt", "--output", "x.csv"}, 2, "--output names one file"},
        {{"a.txt", "--format", "txt"}, 2, "--format takes ods, xlsx, xls or csv"},
        {{"a.txt", "--output", "x.csv", "--macro", "ChartReadings"}, 2, "a .csv file has no macros"},
        {{"no-such-journal.txt", "--output", "x.csv"}, 1, "cannot read no-such-journal.txt"},
    };
    for (const auto& [arguments, status, told] : cases) {
        replay(arguments);
        EXPECT_EQ(program.exitCode(), status) << arguments.join(' ').toStdString();
        EXPECT_THAT(errors.toStdString(), HasSubstr(told)) << arguments.join(' ').toStdString();
    }
    EXPECT_FALSE(std::filesystem::exists(work.file("x.csv")));
}

TEST_F(TabwrightCapture, BadArgumentsAndAMissingPortAreToldBeforeAnythingOpens)
{
    const struct {
        QStringList arguments;
        int status;
        const char* told;
    } cases[] = {
        {{"--port", "0"}, 2, "--port takes a COM port number from 1 to 16"},
        {{"--seconds", "-1"}, 2, "--seconds takes a number of seconds above 0"},
        {{"--measurement", "9:x"}, 2, "--measurement takes MIN:MAX"},
        {{"--output", "run.txt"}, 2, "--output must end in"},
        {{"--output", "run.csv", "--macro", "ChartReadings"}, 2, "a .csv file has no macros"},
        {{"--output", "folder.csv"}, 2, "cannot save folder.csv: it is a folder"},
        {{"--port", QString::number(kPort + 1), "--output", "run.csv"}, 1, "COM port not available"},
    };
    mapping.map(kPort + 1, work.file("no-such-device"));
    std::filesystem::create_directory(work.file("folder.csv"));
    for (const auto& [arguments, status, told] : cases) {
        errors.clear();
        start(arguments);
        finish();
        EXPECT_EQ(program.exitCode(), status) << arguments.join(' ').toStdString();
        EXPECT_THAT(errors.toStdString(), HasSubstr(told)) << arguments.join(' ').toStdString();
    }
    EXPECT_FALSE(std::filesystem::exists(work.file("run.csv")));
}

}  // namespace
}  // namespace tabwright

namespace tabwright {
namespace {

TEST_F(TabwrightCapture, ChartsOfACaptureAndOfItsReplayAreWrittenWithoutADisplay)
{
    QProcessEnvironment environment = program.processEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(name);
    program.setProcessEnvironment(environment);
    start({"--emulate", "K7RX", "--measurement", "10:90", "--seconds", "1.5", "--output", "live.csv",
           "--chart", "live.svg"});
    const std::string summary = finish();
    ASSERT_EQ(program.exitCode(), 0) << errors.toStdString();
    EXPECT_THAT(summary, HasSubstr("Saved: live.csv"));
    EXPECT_THAT(summary, HasSubstr("Saved: live.svg"));
    EXPECT_THAT(testing_support::readFile(work.file("live.svg")), HasSubstr("<svg"));

    const std::string replayed = replay(
        {QString::fromStdString(journalOf(summary)), "--output", "replayed.csv", "--chart", "replayed.PNG"});
    EXPECT_EQ(program.exitCode(), 0) << errors.toStdString();
    EXPECT_THAT(replayed, HasSubstr("Saved: replayed.PNG"));
    EXPECT_EQ(testing_support::readFile(work.file("replayed.PNG")).substr(1, 3), "PNG");
}

TEST_F(TabwrightCapture, AChartNameOfAnotherKindIsRefusedBeforeAnythingStarts)
{
    const struct {
        const char* command;
        QStringList arguments;
    } cases[] = {
        {"capture", {"--emulate", "K7RX", "--seconds", "1", "--output", "run.csv", "--chart", "run.jpg"}},
        {"capture", {"--emulate", "K7RX", "--seconds", "1", "--output", "run.csv", "--chart", "run"}},
        {"replay", {"journal.txt", "--output", "run.csv", "--chart", "run.pdf"}},
        {"replay", {"a.txt", "b.txt", "--chart", "run.png"}},
    };
    for (const auto& c : cases) {
        errors.clear();
        start(c.arguments, c.command);
        finish();
        EXPECT_EQ(program.exitCode(), 2) << c.arguments.join(' ').toStdString();
        EXPECT_THAT(errors.toStdString(), HasSubstr("--chart")) << c.arguments.join(' ').toStdString();
    }
    EXPECT_FALSE(std::filesystem::exists(work.file("run.csv")));
}

}  // namespace
}  // namespace tabwright
