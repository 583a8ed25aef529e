// Runs the real "tabwright capture" against a pseudo-terminal instrument and
// checks every cell it saves against what the capture's parse makes of the
// same text; then "tabwright replay" on the journals it kept.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QProcess>

#include <sys/stat.h>

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

using ::testing::AnyOf;
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
    parser.processReceivedText(sink);
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
        // The journals go to the test's own data folder, a workbook's working copy to the
        // Documents of the test's own home.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_DATA_HOME", QString::fromStdString(work.file("data")));
        environment.insert("HOME", QString::fromStdString(work.file("user")));
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

// The summary's lines on the sheet: from "Rows written" on, before the journal's line.
std::string sheetSummary(const std::string& summary)
{
    const std::size_t from = summary.find("Rows written:");
    const std::size_t to = summary.find("Journal:", from);
    return from == std::string::npos ? "" : summary.substr(from, to == std::string::npos ? to : to - from);
}

// A line wider than the sheet, a plain line of 300 fields and two VQ-480 blocks, the last
// ending in a separator: what the capture and the replay must count alike.
std::string linesPastTheLimits()
{
    std::string text = "a ::";
    for (int token = 0; token < 20000; ++token) {
        text += ' ';
        text += std::to_string(token);
    }
    text += "\r\n";
    for (int field = 1; field <= 300; ++field)
        text += 'f' + std::to_string(field) + (field < 300 ? "\t" : "\r\n");
    return text + "\r\n\r\n\r\n9999\r\n9999\r\n9999\r\n9999\r\n\r\n\r\n\r\n";
}

TEST_F(TabwrightCapture, TheReplayCountsRowsAndCutsAsTheCaptureDidAndEndsWithItsStatus)
{
    const std::string text = linesPastTheLimits();
    start({"--port", QString::number(kPort), "--seconds", "3", "--output", "live.csv"});
    ASSERT_TRUE(waitFor("Ready")) << errors.toStdString();
    pty.send(text);
    const std::string captured = finish();
    const std::string capturedErrors = errors.toStdString();
    EXPECT_EQ(program.exitCode(), 1) << capturedErrors;
    const std::string journal = journalOf(captured);
    ASSERT_FALSE(journal.empty()) << captured;

    const std::string replayed = replay({QString::fromStdString(journal), "--output", "replayed.csv"});
    const std::string replayedErrors = errors.toStdString();
    EXPECT_EQ(program.exitCode(), 1) << replayedErrors;
    EXPECT_THAT(replayed, HasSubstr("Saved: replayed.csv"));
    // Row 5, the block's last reading under its stamp: the bottom row, not the row the
    // last block reached.
    EXPECT_EQ(sheetSummary(replayed),
              "Rows written: 5\n"
              "Lines cut at the last column (16,384): 1, 3,617 cells left out\n"
              "Fields left out past column 256: 44 (1 plain line)\n");
    EXPECT_EQ(sheetSummary(captured), sheetSummary(replayed));
    for (const std::string& told : {capturedErrors, replayedErrors}) {
        EXPECT_THAT(told, HasSubstr("cut at its last column (16,384 in .csv): row 1, 3,617 cells left out"));
        EXPECT_THAT(told, HasSubstr("Fields past column 256 of a plain (TAB-separated) line are left out, as "
                                    "from row 2"));
        EXPECT_THAT(told, HasSubstr("Not every line reached the sheet whole"));
    }
    EXPECT_EQ(testing_support::readFile(work.file("replayed.csv")),
              testing_support::readFile(work.file("live.csv")));
}

TEST_F(TabwrightCapture, FieldsPastColumn256AreToldOnceAndCountedButEndWithStatus0)
{
    std::string plain;
    for (int line = 0; line < 3; ++line)
        for (int field = 1; field <= 260; ++field)
            plain += 'f' + std::to_string(field) + (field < 260 ? "\t" : "\r\n");
    testing_support::writeText(work.file("plain.txt"), plain);
    const std::string summary = replay({"plain.txt", "--output", "plain.csv"});
    EXPECT_EQ(program.exitCode(), 0) << errors.toStdString();
    EXPECT_EQ(sheetSummary(summary),
              "Rows written: 3\nFields left out past column 256: 12 (3 plain lines)\n");
    const std::string told = errors.toStdString();
    const std::string notice = "Fields past column 256";
    EXPECT_NE(told.find(notice), std::string::npos) << told;
    EXPECT_EQ(told.find(notice), told.rfind(notice)) << "told more than once: " << told;
}

TEST_F(TabwrightCapture, AStartThatCannotBeHadNamesItsRealCause)
{
    // The working copies' folder is a file; the runtime folder is open to everyone.
    std::filesystem::create_directories(work.file("home"));
    testing_support::writeText(work.file("home/Documents"), "a file where the folder should be");
    std::filesystem::create_directories(work.file("open-runtime"));
    std::filesystem::permissions(work.file("open-runtime"), std::filesystem::perms::all);
    testing_support::writeText(work.file("run.txt"), "a\tb\r\n");
    const struct {
        const char* name;
        const char* command;
        QStringList arguments;
        const char* variable;
        std::string value;
        const char* told;
        const char* advice;
    } cases[] = {
        {"capture, no working folder",
         "capture",
         {"--emulate", "K7RX", "--seconds", "1", "--output", "run.ods"},
         "HOME",
         work.file("home"),
         "cannot make the folder",
         "Make that folder one you may write into"},
        {"replay, no working folder",
         "replay",
         {"run.txt", "--output", "run.ods"},
         "HOME",
         work.file("home"),
         "cannot make the folder",
         "Make that folder one you may write into"},
        {"replay, unsafe runtime folder",
         "replay",
         {"run.txt", "--output", "run.ods"},
         "XDG_RUNTIME_DIR",
         work.file("open-runtime"),
         "LibreOffice Calc cannot be used: ",
         "A .csv output needs neither LibreOffice Calc nor a template"},
    };
    const QProcessEnvironment before = program.processEnvironment();
    for (const auto& c : cases) {
        QProcessEnvironment environment = before;
        environment.insert(c.variable, QString::fromStdString(c.value));
        program.setProcessEnvironment(environment);
        errors.clear();
        start(c.arguments, c.command);
        finish();
        EXPECT_EQ(program.exitCode(), 1) << c.name;
        const std::string told = errors.toStdString();
        EXPECT_THAT(told, HasSubstr(c.told)) << c.name;
        EXPECT_THAT(told, HasSubstr(c.advice)) << c.name;
        EXPECT_THAT(told, Not(HasSubstr("could not be started or could not open"))) << c.name;
        if (std::string(c.variable) == "HOME") {
            EXPECT_THAT(told, Not(HasSubstr("needs neither LibreOffice Calc"))) << c.name;
        }
        EXPECT_FALSE(std::filesystem::exists(work.file("run.ods"))) << c.name;
    }
}

TEST_F(TabwrightCapture, ASavedPortOutsideTheRangeIsToldAsSuchNotAsAMappingToMake)
{
    for (const char* saved : {"-1", "0", "17"}) {
        std::filesystem::create_directories(mapping.configFolder() + "/Tabwright");
        testing_support::writeText(mapping.configFolder() + "/Tabwright/Tabwright.ini",
                                   std::string("[Communication]\nComPort=") + saved + "\n");
        errors.clear();
        start({"--output", "run.csv"});
        finish();
        EXPECT_EQ(program.exitCode(), 1) << saved;
        const std::string told = errors.toStdString();
        EXPECT_THAT(told,
                    HasSubstr(std::string(saved) + " is not a COM port number: the ports are COM1 to COM16"))
            << told;
        EXPECT_THAT(told, HasSubstr("saved as ComPort in")) << told;
        EXPECT_THAT(told, Not(HasSubstr("serial-ports.ini"))) << told;
    }
}

TEST_F(TabwrightCapture, AReadsFileThatIsNoFileIsRefusedWithItsReasonNotCalledMissing)
{
    testing_support::writeText(work.file("run.txt"), "a\tb\r\n");
    std::filesystem::create_directory(work.file("run.txt.reads"));
    replay({"run.txt", "--output", "run.csv"});
    EXPECT_EQ(program.exitCode(), 2) << errors.toStdString();
    EXPECT_THAT(errors.toStdString(), HasSubstr("run.txt.reads: it is a folder, not a file"));
    EXPECT_THAT(errors.toStdString(), Not(HasSubstr("no reads file")));
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

    // A second replay leaves the first one's file alone and takes the next free name.
    const std::string second = replay({QString::fromStdString(journal), "--format", "csv"});
    EXPECT_EQ(program.exitCode(), 0) << errors.toStdString();
    const std::string next = std::filesystem::path(journal).stem().string() + "-2.csv";
    EXPECT_THAT(second, HasSubstr("Saved: " + next));
    EXPECT_EQ(testing_support::readFile(work.file(next)), testing_support::readFile(work.file(name)));
}

// A journal written by hand: two K7RX lines, no reads file.
std::string writeJournal(const std::string& path)
{
    testing_support::writeText(path, kK7rxLines);
    return path;
}

// Two replays started together whose default names are the same: each keeps its file.
TEST_F(TabwrightCapture, ReplaysSavingTheSameNameAtOnceBothKeepTheirFile)
{
    std::filesystem::create_directories(work.file("A"));
    std::filesystem::create_directories(work.file("B"));
    writeJournal(work.file("A/x.txt"));
    testing_support::writeText(work.file("B/x.txt"), "other\r\n");
    QProcess other;
    other.setWorkingDirectory(QString::fromStdString(work.path()));
    other.start(TABWRIGHT_PROGRAM, {"replay", "B/x.txt", "--format", "csv"});
    const std::string summary = replay({"A/x.txt", "--format", "csv"});
    ASSERT_TRUE(other.waitForFinished(kTimeoutMs));
    EXPECT_EQ(program.exitCode(), 0) << errors.toStdString();
    EXPECT_EQ(other.exitCode(), 0) << other.readAllStandardError().toStdString();
    const std::string both =
        testing_support::readFile(work.file("x.csv")) + "|" + testing_support::readFile(work.file("x-2.csv"));
    EXPECT_THAT(both, HasSubstr("\"other\""));
    EXPECT_THAT(both, HasSubstr("\"0007\""));
}

// What is no regular file is refused before anything opens, with its reason: a FIFO would
// wait for a writer for ever, a device reads without end, a folder holds no journal. An
// output that is the journal itself (or its reads file) would destroy what it replays.
TEST_F(TabwrightCapture, ReplayRefusesWhatIsNoFileAndAnOutputThatIsItsOwnInput)
{
    namespace fs = std::filesystem;
    const std::string journal = writeJournal(work.file("run.txt"));
    ASSERT_EQ(::mkfifo(work.file("fifo.txt").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", work.file("zero.txt"));
    fs::create_directory(work.file("folder.txt"));
    writeJournal(work.file("piped.txt"));
    ASSERT_EQ(::mkfifo(work.file("piped.txt.reads").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo(work.file("out.csv").c_str(), 0600), 0);
    fs::create_symlink("run.txt", work.file("same.csv"));
    writeJournal(work.file("read.txt"));
    testing_support::writeText(work.file("read.txt.reads"), "tabwright reads 1\n");
    fs::create_symlink("read.txt.reads", work.file("reads.csv"));
    const struct {
        QStringList arguments;
        const char* told;
    } cases[] = {
        {{"fifo.txt", "--output", "x.csv"}, "cannot replay fifo.txt: it is a FIFO, not a file"},
        {{"zero.txt", "--output", "x.csv"}, "cannot replay zero.txt: it is a device, not a file"},
        {{"folder.txt", "--output", "x.csv"}, "cannot replay folder.txt: it is a folder, not a file"},
        {{"piped.txt", "--output", "x.csv"}, "cannot replay piped.txt.reads: it is a FIFO, not a file"},
        {{"run.txt", "--output", "out.csv"}, "cannot save out.csv: it is a FIFO, not a file"},
        {{"run.txt", "--output", "same.csv"}, "cannot save same.csv: it is run.txt itself"},
        {{"read.txt", "--output", "reads.csv"}, "cannot save reads.csv: it is read.txt.reads itself"},
    };
    for (const auto& [arguments, told] : cases) {
        replay(arguments);
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << arguments.join(' ').toStdString();
        EXPECT_EQ(program.exitCode(), 2) << arguments.join(' ').toStdString();
        EXPECT_THAT(errors.toStdString(), HasSubstr(told)) << arguments.join(' ').toStdString();
    }
    EXPECT_FALSE(fs::exists(work.file("x.csv")));
    EXPECT_EQ(testing_support::readFile(journal), kK7rxLines);
    EXPECT_EQ(testing_support::readFile(work.file("read.txt.reads")), "tabwright reads 1\n");
}

TEST_F(TabwrightCapture, AnInstalledCopyWithoutATemplateNamesTheFoldersSearchedAndStartsNoCalc)
{
    // A copy outside the build tree, as an installed one: the source tree's data folder is
    // not its own, so it finds no template.
    namespace fs = std::filesystem;
    fs::create_directories(work.file("usr/bin"));
    const std::string installed = work.file("usr/bin/tabwright");
    fs::copy_file(TABWRIGHT_PROGRAM, installed);
    testing_support::writeText(work.file("run.txt"), "1\t2\r\n");
    QProcessEnvironment environment = program.processEnvironment();
    environment.insert("QT_LOGGING_RULES", "tabwright.*=true");
    program.setProcessEnvironment(environment);
    const QStringList runs[] = {
        {"capture", "--emulate", "K7RX", "--seconds", "1", "--output", "run.ods"},
        {"replay", "run.txt", "--output", "replayed.ods"},
    };
    for (const QStringList& arguments : runs) {
        errors.clear();
        program.start(QString::fromStdString(installed), arguments);
        finish();
        const std::string told = errors.toStdString();
        EXPECT_EQ(program.exitCode(), 1) << told;
        EXPECT_THAT(
            told, HasSubstr("MS Excel not available: The capture workbook cannot be made: no template in: " +
                            fs::canonical(work.path()).string() + ", " + fs::canonical(work.path()).string() +
                            "/usr/share/tabwright (looked for spreadsheet.ods or spreadsheet.xls)\n"));
        EXPECT_THAT(
            told,
            AnyOf(HasSubstr("tabwright.capture: Start failed: The capture workbook cannot be made"),
                  HasSubstr("tabwright.workbook: No capture workbook: The capture workbook cannot be made")));
        EXPECT_THAT(told, HasSubstr("A .csv output needs neither LibreOffice Calc nor a template"));
        EXPECT_THAT(told, Not(HasSubstr("LibreOffice Calc started")));
        EXPECT_THAT(told, Not(HasSubstr("could not be started")));
    }
    EXPECT_FALSE(fs::exists(work.file("run.ods")));
    EXPECT_FALSE(fs::exists(work.file("replayed.ods")));
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
        {{"--output", "fifo.csv"}, 2, "cannot save fifo.csv: it is a FIFO, not a file"},
        {{"--port", QString::number(kPort + 1), "--output", "run.csv"}, 1, "COM port not available"},
    };
    mapping.map(kPort + 1, work.file("no-such-device"));
    std::filesystem::create_directory(work.file("folder.csv"));
    ASSERT_EQ(::mkfifo(work.file("fifo.csv").c_str(), 0600), 0);
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
