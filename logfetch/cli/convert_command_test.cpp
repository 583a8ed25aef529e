#include "logfetch/cli/convert_command.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "logfetch/testing/bin_builder.h"
#include "testing/temp_folder.h"

namespace logfetch {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using testing_support::BinBuilder;
using testing_support::writeFile;

TEST(ConvertCommand, ConvertsEveryFileAndFailsWhenAnyFails)
{
    testing_support::TempFolder folder;
    writeFile(folder.file("a.BIN"), BinBuilder::interval(1).header({}).reading2(false, 0, 1).bytes());
    writeFile(folder.file("b.bin"), {0, 0, 0});
    writeFile(folder.file("c.txt"), {0xC3, 0xC3, 0xC3, 1});
    std::ostringstream out, err;
    EXPECT_EQ(runConvertCommand({folder.file("a.BIN"), folder.file("b.bin"), folder.file("c.txt")}, out, err),
              1);
    EXPECT_EQ(out.str(), "The conversion has completed.  Your ASCII file is: A.PRN (" + folder.file("A.PRN") +
                             ", " + folder.file("A.CSV") + ")\n");
    EXPECT_EQ(err.str(), folder.file("b.bin") + ": This BIN is corrupt\n" + folder.file("c.txt") +
                             ": Your filename must end in .BIN\n");
    EXPECT_FALSE(fs::exists(folder.file("C.PRN")));

    std::ostringstream out2, err2;
    EXPECT_EQ(runConvertCommand({folder.file("a.BIN")}, out2, err2), 0);
    EXPECT_EQ(err2.str(), "");
}

TEST(ConvertCommand, MultiLineErrorMessagePrintsWithPlainLineEnds)
{
    testing_support::TempFolder folder;
    testing_support::HeaderFields late;
    late.start = {13, 1, 3, 0, 0, 0};
    writeFile(folder.file("late.bin"), BinBuilder::interval(1).header(late).bytes());
    std::ostringstream out, err;
    EXPECT_EQ(runConvertCommand({folder.file("late.bin")}, out, err), 1);
    EXPECT_THAT(err.str(), HasSubstr(". Logfetch\nThis BIN file is corrupted.\n"));
    EXPECT_THAT(err.str(), ::testing::Not(HasSubstr("\r")));
}

// Files whose reports would have the same names (they differ in letter case only, or name
// one folder two ways) are refused before any is converted.
TEST(ConvertCommand, FilesThatWouldShareReportsAreRefusedBeforeAnyConversion)
{
    testing_support::TempFolder folder;
    fs::create_directory(folder.file("sub"));
    const testing_support::Bytes bin = BinBuilder::interval(1).header({}).reading2(false, 0, 1).bytes();
    for (const char* name : {"run.bin", "RUN.BIN", "Run.Bin", "sub/a.bin", "sub/A.bin"})
        writeFile(folder.file(name), bin);
    const struct {
        std::vector<std::string> files;
        std::string first, second;
    } cases[] = {
        {{folder.file("run.bin"), folder.file("RUN.BIN"), folder.file("Run.Bin")}, "run.bin", "RUN.BIN"},
        {{folder.file("sub/a.bin"), folder.file("sub/../sub/A.bin")}, "sub/a.bin", "sub/../sub/A.bin"},
        {{folder.file("run.bin"), folder.file("run.bin")}, "run.bin", "run.bin"},
    };
    for (const auto& test : cases) {
        std::ostringstream out, err;
        EXPECT_EQ(runConvertCommand(test.files, out, err), 2);
        EXPECT_EQ(out.str(), "");
        EXPECT_THAT(err.str(), HasSubstr(folder.file(test.first) + " and " + folder.file(test.second) +
                                         " would write the same reports"));
        EXPECT_FALSE(fs::exists(folder.file("RUN.PRN")));
        EXPECT_FALSE(fs::exists(folder.file("sub/A.PRN")));
    }
}

}  // namespace
}  // namespace logfetch
