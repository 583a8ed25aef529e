// "tabwright capture" into an .ods through a real headless Calc, the saved
// workbook read back by a separate LibreOffice conversion to CSV.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QProcess>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "tabwright/testing/process_naming.h"
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

// The program with a temporary folder of its own (so its private Calc files can be
// looked for), a configuration folder and a home of its own (working copies go to its
// Documents and journals to its data folder, not the user's).
struct PrivateRun {
    testing_support::TempFolder work;
    testing_support::TempFolder temporary;
    testing_support::TempFolder configuration;
    testing_support::TempFolder home;
    QProcess program;
    QByteArray errors;

    PrivateRun()
    {
        testing_support::ensureCoreApplication();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("TMPDIR", QString::fromStdString(temporary.path()));
        environment.insert("XDG_CONFIG_HOME", QString::fromStdString(configuration.path()));
        environment.insert("HOME", QString::fromStdString(home.path()));
        environment.remove("XDG_RUNTIME_DIR");
        environment.remove("XDG_DATA_HOME");
        program.setProcessEnvironment(environment);
        program.setWorkingDirectory(QString::fromStdString(work.path()));
        program.setReadChannel(QProcess::StandardError);
    }
    ~PrivateRun()
    {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished();
        }
    }
    // The program reads its settings and port mapping from `folder` instead.
    void useConfigurationFolder(const std::string& folder)
    {
        QProcessEnvironment environment = program.processEnvironment();
        environment.insert("XDG_CONFIG_HOME", QString::fromStdString(folder));
        program.setProcessEnvironment(environment);
    }
    void start(const QStringList& arguments, const char* command = "capture")
    {
        program.start(TABWRIGHT_PROGRAM, QStringList{command} + arguments);
    }
    bool waitFor(const char* text)
    {
        return testing_support::readErrorsUntil(program, errors, text, kTimeoutMs);
    }
    // The private Calc folders the program makes in its temporary folder ("tabwright-UID-...").
    std::vector<std::filesystem::path> instancesFolders() const
    {
        const std::string prefix = "tabwright-" + std::to_string(getuid()) + "-";
        std::vector<std::filesystem::path> folders;
        for (const auto& folder : std::filesystem::directory_iterator(temporary.path()))
            if (folder.path().filename().string().starts_with(prefix))
                folders.push_back(folder.path());
        return folders;
    }
    // Whether a process runs on, or a file is left in, the private Calc folders (an empty
    // one does not count).
    bool calcFilesLeft() const
    {
        for (const std::filesystem::path& folder : instancesFolders()) {
            // The watchdog may be removing these files meanwhile: no step may throw, and a
            // file vanishing under the walk counts as something still there (look again).
            std::error_code error;
            for (std::filesystem::recursive_directory_iterator entry(folder, error), end;
                 !error && entry != end; entry.increment(error))
                if (!entry->is_directory(error) && !error)
                    return true;
            if (error)
                return true;
        }
        return testing_support::processNaming(temporary.path()).has_value();
    }
    // The watchdog clears up after a killed program; give it time on a loaded machine.
    bool calcFilesGoneWithin(std::chrono::seconds limit) const
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (calcFilesLeft()) {
            if (std::chrono::steady_clock::now() >= deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return true;
    }
};

TEST(TabwrightCaptureIntoCalc, ASignalWhileCalcStartsEndsTheRunAsAfterReadyAndLeavesNothing)
{
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        PrivateRun run;
        run.start({"--emulate", "K7RX", "--output", "run.ods"});
        ASSERT_TRUE(run.waitFor("Opening MS Excel Spreadsheet")) << run.errors.toStdString();
        ::kill(static_cast<pid_t>(run.program.processId()), signal);
        ASSERT_TRUE(run.program.waitForFinished(kTimeoutMs));
        const std::string summary = run.program.readAllStandardOutput().toStdString();
        EXPECT_EQ(run.program.exitStatus(), QProcess::NormalExit) << signal;
        EXPECT_EQ(run.program.exitCode(), 0) << signal << run.errors.toStdString();
        EXPECT_THAT(summary, ::testing::HasSubstr("Saved: run.ods")) << signal;
        EXPECT_TRUE(std::filesystem::exists(run.work.file("run.ods"))) << signal;
        EXPECT_TRUE(run.calcFilesGoneWithin(std::chrono::seconds(60))) << signal;
        EXPECT_TRUE(run.instancesFolders().empty()) << signal;
    }
}

TEST(TabwrightCaptureIntoCalc, AKilledProgramLeavesNoCalcAndNoCalcFilesBehind)
{
    PrivateRun run;
    run.start({"--emulate", "K7RX", "--output", "run.ods"});
    ASSERT_TRUE(run.waitFor("Bytes Received")) << run.errors.toStdString();
    ASSERT_TRUE(testing_support::processNaming(run.temporary.path()));
    run.program.kill();
    run.program.waitForFinished();
    EXPECT_TRUE(run.calcFilesGoneWithin(std::chrono::seconds(60)));
}

TEST(TabwrightCaptureIntoCalc, ATemplateOutsideTheTrustedFoldersRunsNoMacroButTheCaptureRuns)
{
    const std::string shipped = std::string(PROJECT_DATA_DIR) + "/spreadsheet.ods";
    for (const bool trusted : {false, true}) {
        PrivateRun run;
        std::filesystem::copy_file(shipped, run.work.file("spreadsheet.ods"));
        if (trusted) {
            std::filesystem::create_directories(run.configuration.file("Tabwright"));
            std::ofstream(run.configuration.file("Tabwright/Tabwright.ini"))
                << "[Macros]\nTrustedFolders=/nowhere:" << run.work.path() << "\n";
        }
        // The working copies go to a documents folder of the test's own.
        std::ofstream(run.configuration.file("user-dirs.dirs"))
            << "XDG_DOCUMENTS_DIR=\"" << run.work.file("documents") << "\"\n";
        run.start({"--emulate", "K7RX", "--seconds", "2", "--macro", "ChartReadings", "--output", "run.ods"});
        ASSERT_TRUE(run.program.waitForFinished(kTimeoutMs));
        run.errors += run.program.readAllStandardError();
        // A macro asked for and not run is told by the status too, the workbook saved all the same.
        EXPECT_EQ(run.program.exitCode(), trusted ? 0 : 3) << run.errors.toStdString();
        EXPECT_TRUE(std::filesystem::exists(run.work.file("run.ods")));
        // Once the output is saved, a run from the command line keeps no working copy.
        if (std::filesystem::exists(run.work.file("documents/Tabwright"))) {
            EXPECT_TRUE(std::filesystem::is_empty(run.work.file("documents/Tabwright")));
        }
        if (trusted)
            EXPECT_THAT(run.errors.toStdString(), ::testing::Not(::testing::HasSubstr("was not run")));
        else
            EXPECT_THAT(
                run.errors.toStdString(),
                ::testing::HasSubstr("!ChartReadings\" was not run: the template " +
                                     run.work.file("spreadsheet.ods") + " is not in a trusted folder"));
    }
}

TEST(TabwrightCaptureIntoCalc, AProtectedTemplateSheetIsNamedWithoutTheOfficesOwnWords)
{
    PrivateRun run;
    // The shipped template with its capture sheet protected, in the current folder.
    QProcess make;
    make.start("python3",
               {"-c",
                "import sys, zipfile\n"
                "with zipfile.ZipFile(sys.argv[1]) as s, zipfile.ZipFile(sys.argv[2], 'w') as d:\n"
                "    for i in s.infolist():\n"
                "        b = s.read(i.filename)\n"
                "        if i.filename == 'content.xml':\n"
                "            b = b.replace(b'table:name=\"Capture\"',\n"
                "                          b'table:name=\"Capture\" table:protected=\"true\"', 1)\n"
                "        d.writestr(i, b)\n",
                QString(PROJECT_DATA_DIR) + "/spreadsheet.ods",
                QString::fromStdString(run.work.file("spreadsheet.ods"))});
    ASSERT_TRUE(make.waitForFinished(kTimeoutMs));
    ASSERT_EQ(make.exitCode(), 0) << make.readAllStandardError().toStdString();
    run.start({"--emulate", "K7RX", "--seconds", "3", "--output", "run.ods"});
    ASSERT_TRUE(run.program.waitForFinished(kTimeoutMs));
    const std::string told = (run.errors + run.program.readAllStandardError()).toStdString();
    EXPECT_EQ(run.program.exitCode(), 1) << told;
    EXPECT_THAT(told, ::testing::HasSubstr("MS Excel is blocked: the sheet \"Capture\" is protected"));
    EXPECT_THAT(told, ::testing::Not(::testing::HasSubstr(".cxx")));
    EXPECT_THAT(told, ::testing::HasSubstr("journal"));
}

// Every sheet of `workbook` (in the run's folder) as CSV text, by sheet name, read back by
// a separate LibreOffice conversion.
std::map<std::string, std::string> sheetsAsCsv(const PrivateRun& run, const std::string& workbook)
{
    QProcess convert;
    convert.setWorkingDirectory(QString::fromStdString(run.work.path()));
    // Text cells in quotes; the last filter token, -1, writes each sheet to a file of its own,
    // NAME-SHEET.csv.
    convert.start(
        "soffice",
        {QString::fromStdString("-env:UserInstallation=file://" + run.work.file("profile")), "--headless",
         "--convert-to", "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,true,true,false,false,false,-1",
         "--outdir", "out", QString::fromStdString(workbook)});
    EXPECT_TRUE(convert.waitForFinished(kTimeoutMs));
    std::map<std::string, std::string> sheets;
    const std::string prefix = std::filesystem::path(workbook).stem().string() + "-";
    if (!std::filesystem::is_directory(run.work.file("out")))
        return sheets;
    for (const auto& file : std::filesystem::directory_iterator(run.work.file("out")))
        sheets[file.path().stem().string().substr(prefix.size())] = testing_support::readFile(file.path());
    return sheets;
}

std::size_t longestLine(const std::string& text)
{
    std::size_t longest = 0;
    for (std::size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
        longest = std::max(longest, end - at - (end > at && text[end - 1] == '\r' ? 1 : 0));
    return longest;
}

TEST(TabwrightCaptureIntoCalc, LinesFromThePortAreInTheSavedWorkbook)
{
    PrivateRun run;
    testing_support::TemporaryPortMapping mapping;
    testing_support::PtyInstrument pty;
    mapping.map(kPort, pty.devicePath());
    run.useConfigurationFolder(mapping.configFolder());
    run.start({"--port", QString::number(kPort), "--seconds", "3", "--output", "run.ods"});
    ASSERT_TRUE(run.waitFor("Ready")) << run.errors.toStdString();
    pty.send("0007\t12/08/26\t14:03:27\tA1\r\n0008\t12/08/26\t14:03:28\tB2\r\n");
    ASSERT_TRUE(run.program.waitForFinished(kTimeoutMs));
    ASSERT_EQ(run.program.exitCode(), 0) << (run.errors + run.program.readAllStandardError()).toStdString();

    const std::string csv = sheetsAsCsv(run, "run.ods")["Capture"];
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

TEST(TabwrightCaptureIntoCalc, EveryLineTheEmulatorSaysFromStartIsInTheWorkbookInOrder)
{
    PrivateRun run;
    run.start({"--emulate", "K7RX", "--seconds", "2", "--output", "run.ods"});
    ASSERT_TRUE(run.program.waitForFinished(kTimeoutMs));
    const std::string summary = run.program.readAllStandardOutput().toStdString();
    ASSERT_EQ(run.program.exitCode(), 0) << (run.errors + run.program.readAllStandardError()).toStdString();
    std::smatch found;
    ASSERT_TRUE(std::regex_search(summary, found, std::regex("Journal: (\\S+)"))) << summary;
    const std::string journal = testing_support::readFile(found[1].str());
    const std::string reads = testing_support::readFile(found[1].str() + ".reads");

    // The emulator speaks from Start: what it said while Calc opened (well over a quarter
    // of a second, its pace) came in the run's first read, and is in the sheet like the rest.
    std::smatch firstRead;
    ASSERT_TRUE(std::regex_search(reads, firstRead, std::regex("\nr (\\d+) "))) << reads;
    const std::string saidWhileOpening = journal.substr(0, std::stoul(firstRead[1].str()));
    EXPECT_GE(std::count(saidWhileOpening.begin(), saidWhileOpening.end(), '\n'), 2) << reads;

    // Row for line, the first line in the first row.
    const std::string csv = sheetsAsCsv(run, "run.ods")["Capture"];
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), std::count(journal.begin(), journal.end(), '\n'))
        << csv;
    const std::vector<std::string> firstRow = fields(csv.substr(0, csv.find('\n')));
    const std::string firstLine = journal.substr(0, journal.find("\r\n"));
    ASSERT_GE(firstRow.size(), 4u) << csv;
    EXPECT_EQ(firstLine.substr(0, firstLine.find(" = ")),
              firstRow[0] + " " + firstRow[1] + " :: " + firstRow[2] + " " + firstRow[3]);
}

TEST(TabwrightReplayIntoCalc, EachFormatsRowsColumnsAndCellLengthAreKeptOrTheCutIsToldWithStatus1)
{
    std::string rows;
    for (int row = 1; row <= 70'000; ++row)
        rows += std::to_string(row) + "\r\n";
    std::string wide = "tag ::";
    for (int token = 1; token <= 300; ++token) {
        wide += ' ';
        wide += std::to_string(token);
    }
    const struct {
        const char* output;
        std::string journal;
        int status;
        std::vector<std::string> told;  // on standard error and standard output
        std::map<std::string, std::pair<std::size_t, std::size_t>> sheets;  // name: lines, longest line
    } cases[] = {
        {"rows.xls",
         rows,
         0,
         {"Rows written: 70000\n", "Sheets: 2 (65,536 rows each in .xls"},
         {{"Capture", {65'536, 5}}, {"Capture (2)", {70'000 - 65'536, 5}}}},
        {"wide.xls",
         wide + "\r\n",
         1,
         {"cut at its last column (256 in .xls): row 1, 45 cells left out",
          "Lines cut at the last column (256): 1, 45 cells left out"},
         {{"Capture", {1, 0}}}},
        {"long.xlsx",
         std::string(40'000, 'x') + "\r\n",
         1,
         {"1 text was longer than a cell of .xlsx keeps and cut at 32,767 characters",
          "Texts cut at 32,767 characters: 1"},
         {{"Capture", {1, 32'767}}}},
    };
    for (const auto& c : cases) {
        PrivateRun run;
        testing_support::writeText(run.work.file("journal.txt"), c.journal);
        run.start({"journal.txt", "--output", c.output}, "replay");
        ASSERT_TRUE(run.program.waitForFinished(kTimeoutMs));
        const std::string told =
            (run.errors + run.program.readAllStandardError() + run.program.readAllStandardOutput())
                .toStdString();
        EXPECT_EQ(run.program.exitCode(), c.status) << c.output << told;
        for (const std::string& text : c.told)
            EXPECT_THAT(told, ::testing::HasSubstr(text)) << c.output;
        const auto sheets = sheetsAsCsv(run, c.output);
        for (const auto& [name, shape] : c.sheets) {
            ASSERT_TRUE(sheets.contains(name)) << c.output << " " << name;
            const std::string& csv = sheets.at(name);
            EXPECT_EQ(static_cast<std::size_t>(std::count(csv.begin(), csv.end(), '\n')), shape.first)
                << c.output << " " << name;
            if (shape.second > 0) {
                EXPECT_EQ(longestLine(csv), shape.second + 2) << c.output << " " << name;  // quotes
            }
        }
        if (std::string(c.output) == "wide.xls") {
            EXPECT_THAT(sheets.at("Capture"), ::testing::AllOf(::testing::HasSubstr(",\"255\""),
                                                               ::testing::Not(::testing::HasSubstr("256"))))
                << "the 256th cell is the last";
        }
    }
}

}  // namespace
}  // namespace tabwright
