// The real "logfetch convert" program, run as a user runs it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QProcess>

#include <filesystem>
#include <string>

#include "logfetch/testing/bin_builder.h"
#include "testing/event_loop.h"
#include "testing/file_contents.h"
#include "testing/temp_folder.h"

namespace {

using testing::HasSubstr;
using testing::Not;
using testing_support::BinBuilder;

constexpr int kTimeoutMs = 20000;

struct Outcome {
    int status;
    std::string said;
};

Outcome convert(const testing_support::TempFolder& folder, const QStringList& files)
{
    testing_support::ensureCoreApplication();
    QProcess program;
    program.setWorkingDirectory(QString::fromStdString(folder.path()));
    program.start(LOGFETCH_PROGRAM, QStringList{"convert"} + files);
    program.waitForFinished(kTimeoutMs);
    return {program.exitCode(),
            (program.readAllStandardError() + program.readAllStandardOutput()).toStdString()};
}

// A data log damaged after its first conversion: the second conversion fails and says the
// file is corrupted, and the reports of the first stay as they were.
TEST(LogfetchConvertProgram, AFailedConversionLeavesTheEarlierReports)
{
    testing_support::TempFolder folder;
    testing_support::writeFile(
        folder.file("g.bin"), BinBuilder::interval(1).header({}).reading2(false, 2, 512).endMarker().bytes());
    ASSERT_EQ(convert(folder, {"g.bin"}).status, 0);
    const std::string prn = testing_support::readFile(folder.file("G.PRN"));
    const std::string csv = testing_support::readFile(folder.file("G.CSV"));
    testing_support::writeFile(folder.file("g.bin"), BinBuilder::interval(1).bytes());
    const Outcome damaged = convert(folder, {"g.bin"});
    EXPECT_EQ(damaged.status, 1);
    EXPECT_THAT(damaged.said, HasSubstr("This BIN file is corrupted."));
    EXPECT_EQ(testing_support::readFile(folder.file("G.PRN")), prn);
    EXPECT_EQ(testing_support::readFile(folder.file("G.CSV")), csv);

    // A folder in its place is no corrupted data log.
    std::filesystem::remove(folder.file("g.bin"));
    std::filesystem::create_directory(folder.file("g.bin"));
    const Outcome notAFile = convert(folder, {"g.bin"});
    EXPECT_EQ(notAFile.status, 1);
    EXPECT_THAT(notAFile.said, HasSubstr("Is a directory"));
    EXPECT_THAT(notAFile.said, Not(HasSubstr("corrupted")));
}

TEST(LogfetchConvertProgram, NamesThatDifferInLetterCaseOnlyAreRefusedBeforeAnyConversion)
{
    testing_support::TempFolder folder;
    for (const char* name : {"run.bin", "RUN.BIN", "Run.Bin"})
        testing_support::writeFile(folder.file(name),
                                   BinBuilder::interval(1).header({}).reading2(false, 0, 1).bytes());
    const Outcome outcome = convert(folder, {"run.bin", "RUN.BIN", "Run.Bin"});
    EXPECT_EQ(outcome.status, 2);
    EXPECT_THAT(outcome.said, HasSubstr("run.bin and RUN.BIN would write the same reports"));
    EXPECT_FALSE(std::filesystem::exists(folder.file("RUN.PRN")));
}

}  // namespace
