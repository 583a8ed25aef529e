#include "logfetch/convert/convert_bin_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <sstream>
#include <thread>

#include "logfetch/testing/bin_builder.h"
#include "testing/file_rights.h"
#include "testing/scripted_prompter.h"
#include "testing/temp_folder.h"

namespace logfetch {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::StartsWith;
using testing_support::BinBuilder;
using testing_support::readFile;
using testing_support::writeFile;

class ConvertBinFileTest : public ::testing::Test {
protected:
    ConversionOutcome convert(const std::string& folder, const std::string& name)
    {
        return ConvertBinFile(folder, name, values, prompter, [] {});
    }

    testing_support::TempFolder folder;
    StepValues values;
    testing_support::ScriptedPrompter prompter;
    const testing_support::Bytes sample =
        BinBuilder::interval(1).header({}).reading2(false, 2, 512).endMarker().bytes();
};

TEST_F(ConvertBinFileTest, WritesUpperCaseReportsBesideTheBinAndTellsTheReportName)
{
    writeFile(folder.file("data.bin"), sample);
    EXPECT_EQ(convert(folder.path(), "data.bin"), ConversionOutcome::Completed);
    EXPECT_EQ(values.gPrnFile, folder.file("DATA.PRN"));
    EXPECT_EQ(values.gCsvFile, folder.file("DATA.CSV"));
    EXPECT_EQ(readFile(folder.file("DATA.CSV")), "01/01/03, 00:00:00,  5.12\r\n");
    EXPECT_THAT(prompter.messages,
                ::testing::ElementsAre("The conversion has completed.  Your ASCII file is: DATA.PRN"));
    EXPECT_EQ(values.gBinFileLength, static_cast<std::int32_t>(sample.size()));
    EXPECT_EQ(values.gBinBytesRead, static_cast<std::int32_t>(sample.size() - 6));

    // A folder given with its trailing separator joins the same way.
    EXPECT_EQ(convert(folder.path() + "/", "data.bin"), ConversionOutcome::Completed);
    EXPECT_EQ(values.gPrnFile, folder.file("DATA.PRN"));
}

TEST_F(ConvertBinFileTest, ReplacesExistingReports)
{
    writeFile(folder.file("run7.bin"), sample);
    writeFile(folder.file("RUN7.CSV"), testing_support::Bytes(5000, 'x'));
    convert(folder.path(), "run7.bin");
    EXPECT_EQ(readFile(folder.file("RUN7.CSV")), "01/01/03, 00:00:00,  5.12\r\n");
}

TEST_F(ConvertBinFileTest, UnknownKindMarkerLeavesEmptyReports)
{
    writeFile(folder.file("bad.bin"), {1, 2, 3, 4, 5});
    EXPECT_EQ(convert(folder.path(), "bad.bin"), ConversionOutcome::Rejected);
    EXPECT_THAT(prompter.messages, ::testing::ElementsAre("This BIN is corrupt"));
    EXPECT_EQ(readFile(folder.file("BAD.PRN")), "");
    EXPECT_EQ(readFile(folder.file("BAD.CSV")), "");
}

TEST_F(ConvertBinFileTest, CorruptHeaderKeepsWhatWasWrittenAndSaysSo)
{
    testing_support::HeaderFields fields;
    fields.start = {13, 1, 3, 0, 0, 0};
    writeFile(folder.file("late.bin"), BinBuilder::interval(1).header(fields).bytes());
    EXPECT_EQ(convert(folder.path(), "late.bin"), ConversionOutcome::Failed);
    ASSERT_EQ(prompter.messages.size(), 1U);
    EXPECT_EQ(prompter.messages[0],
              "Error 13. Invalid date or time: start of data set 1 13/01/03 00:00:00. Logfetch\r\n"
              "This BIN file is corrupted.");
    EXPECT_THAT(readFile(folder.file("LATE.PRN")), HasSubstr("DATA LOGGING UNIT:"));
}

TEST_F(ConvertBinFileTest, MissingBinIsReportedAndCreatesNoReports)
{
    EXPECT_EQ(convert(folder.path(), "gone.bin"), ConversionOutcome::Failed);
    ASSERT_EQ(prompter.messages.size(), 1U);
    EXPECT_THAT(prompter.messages[0],
                StartsWith("Error 53. No such file or directory: " + folder.file("gone.bin")));
    EXPECT_THAT(prompter.messages[0], ::testing::EndsWith(": " + folder.file("gone.bin") + ". Logfetch"));
    EXPECT_FALSE(fs::exists(folder.file("GONE.PRN")));
}

TEST_F(ConvertBinFileTest, ReportThatCannotBeCreatedIsReported)
{
    writeFile(folder.file("data.bin"), sample);
    fs::create_directory(folder.file("DATA.PRN"));
    EXPECT_EQ(convert(folder.path(), "data.bin"), ConversionOutcome::Failed);
    ASSERT_EQ(prompter.messages.size(), 1U);
    EXPECT_THAT(prompter.messages[0], StartsWith("Error 75. Is a directory: " + folder.file("DATA.PRN")));
}

TEST_F(ConvertBinFileTest, FullDiskIsAFailureNotACompletion)
{
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full on this machine";
    writeFile(folder.file("data.bin"), sample);
    fs::create_symlink("/dev/full", folder.file("DATA.CSV"));
    EXPECT_EQ(convert(folder.path(), "data.bin"), ConversionOutcome::Failed);
    ASSERT_EQ(prompter.messages.size(), 1U);
    EXPECT_THAT(prompter.messages[0],
                StartsWith("Error 61. No space left on device: " + folder.file("DATA.CSV")));
}

// A .BIN must be a file: a device behind a link, or a FIFO that would wait
// for a writer forever, is refused at once and names the file.
TEST_F(ConvertBinFileTest, AnythingButARegularFileIsRefusedWithoutWaiting)
{
    fs::create_symlink("/dev/null", folder.file("null.BIN"));
    ASSERT_EQ(::mkfifo(folder.file("x.BIN").c_str(), 0600), 0);
    // Should the open wait for a writer after all, this one lets it go on.
    std::atomic<bool> waited = false;
    std::atomic<bool> finished = false;
    std::thread writer([&] {
        for (int tenths = 0; tenths < 30 && !finished; ++tenths)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (finished)
            return;
        waited = true;
        const int fifo = ::open(folder.file("x.BIN").c_str(), O_WRONLY | O_NONBLOCK);
        if (fifo >= 0)
            ::close(fifo);
    });
    for (const char* name : {"null.BIN", "x.BIN"}) {
        prompter.messages.clear();
        EXPECT_EQ(convert(folder.path(), name), ConversionOutcome::Failed) << name;
        ASSERT_EQ(prompter.messages.size(), 1U);
        EXPECT_THAT(
            prompter.messages[0],
            StartsWith("Error 75. Not a regular file (a device, a FIFO or a socket): " + folder.file(name)));
        EXPECT_FALSE(
            fs::exists(folder.file(std::string(name).substr(0, std::string(name).size() - 4) + ".PRN")));
    }
    finished = true;
    writer.join();
    EXPECT_FALSE(waited) << "the FIFO's open waited for a writer";
}

// A conversion that fails, whether the data log is damaged or a report cannot be written
// whole, leaves the reports of the earlier conversion as they were, and no file beside.
TEST_F(ConvertBinFileTest, FailedConversionLeavesTheEarlierReportsAsTheyWere)
{
    testing_support::HeaderFields late;
    late.start = {13, 1, 3, 0, 0, 0};
    const struct {
        const char* what;
        testing_support::Bytes damaged;
        ConversionOutcome outcome;
    } cases[] = {
        {"unknown kind marker", {1, 2, 3, 4, 5}, ConversionOutcome::Rejected},
        {"a start that is no date", BinBuilder::interval(1).header(late).bytes(), ConversionOutcome::Failed},
        {"no data-set header", BinBuilder::interval(1).bytes(), ConversionOutcome::Failed},
    };
    for (const auto& test : cases) {
        writeFile(folder.file("g.bin"), sample);
        ASSERT_EQ(convert(folder.path(), "g.bin"), ConversionOutcome::Completed);
        const std::string prn = readFile(folder.file("G.PRN"));
        const std::string csv = readFile(folder.file("G.CSV"));
        writeFile(folder.file("g.bin"), test.damaged);
        EXPECT_EQ(convert(folder.path(), "g.bin"), test.outcome) << test.what;
        EXPECT_EQ(readFile(folder.file("G.PRN")), prn) << test.what;
        EXPECT_EQ(readFile(folder.file("G.CSV")), csv) << test.what;
        EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 3)
            << test.what;
    }
}

TEST_F(ConvertBinFileTest, FullDiskLeavesTheEarlierReportAsItWas)
{
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full on this machine";
    writeFile(folder.file("run.bin"), sample);
    testing_support::writeText(folder.file("RUN.PRN"), "earlier report");
    fs::create_symlink("/dev/full", folder.file("RUN.CSV"));
    EXPECT_EQ(convert(folder.path(), "run.bin"), ConversionOutcome::Failed);
    EXPECT_EQ(readFile(folder.file("RUN.PRN")), "earlier report");
}

// The data log is called corrupted only when its content is: a folder or disk that
// refuses the reports, or an input that is no file, says what happened and no more.
TEST_F(ConvertBinFileTest, FileSystemFailuresAreNotCalledACorruptedBin)
{
    fs::create_directory(folder.file("folder.bin"));
    writeFile(folder.file("full.bin"), sample);
    fs::create_symlink("/dev/full", folder.file("FULL.CSV"));
    fs::create_directory(folder.file("shut"));
    writeFile(folder.file("shut/run.bin"), sample);
    fs::permissions(folder.file("shut"), fs::perms::owner_read | fs::perms::owner_exec);
    const testing_support::PermissionBitsHold held;
    const struct {
        std::string folder;
        const char* name;
        std::string message;
    } cases[] = {
        {folder.path(), "folder.bin",
         "Error 75. Is a directory: " + folder.file("folder.bin") + ". Logfetch"},
        {folder.path(), "gone.bin",
         "Error 53. No such file or directory: " + folder.file("gone.bin") + ". Logfetch"},
        {folder.path(), "full.bin",
         "Error 61. No space left on device: " + folder.file("FULL.CSV") + ". Logfetch"},
        {folder.file("shut"), "run.bin",
         "Error 70. Permission denied: " + folder.file("shut/RUN.PRN") + ". Logfetch"},
    };
    for (const auto& test : cases) {
        prompter.messages.clear();
        EXPECT_EQ(convert(test.folder, test.name), ConversionOutcome::Failed) << test.name;
        EXPECT_THAT(prompter.messages, ::testing::ElementsAre(test.message)) << test.name;
    }
    fs::permissions(folder.file("shut"), fs::perms::owner_all);
}

}  // namespace
}  // namespace logfetch
