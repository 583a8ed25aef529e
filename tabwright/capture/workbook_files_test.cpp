#include "tabwright/capture/workbook_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "testing/file_contents.h"
#include "testing/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using tabwright::prepareWorkingCopy;
using tabwright::WorkbookPlaces;
using testing_support::readFile;
using testing_support::writeText;

class WorkingCopy : public testing::Test {
protected:
    testing_support::TempFolder root;
    WorkbookPlaces places{{root.file("current"), root.file("data")}, root.file("work")};
};

TEST_F(WorkingCopy, TakesTheCurrentFolderFirstThenTheDataFolderAndReplacesTheOldCopy)
{
    writeText(root.file("data/spreadsheet.ods"), "shipped");
    writeText(root.file("work/spreadsheet.ods"), "last run");
    EXPECT_EQ(prepareWorkingCopy(places), root.file("work/spreadsheet.ods"));
    EXPECT_EQ(readFile(root.file("work/spreadsheet.ods")), "shipped");

    writeText(root.file("current/spreadsheet.xls"), "user's own");
    EXPECT_EQ(prepareWorkingCopy(places), root.file("work/spreadsheet.xls"));
    EXPECT_EQ(readFile(root.file("work/spreadsheet.xls")), "user's own");

    writeText(root.file("current/spreadsheet.ods"), "user's own with macros");
    EXPECT_EQ(prepareWorkingCopy(places), root.file("work/spreadsheet.ods"));
    EXPECT_EQ(readFile(root.file("work/spreadsheet.ods")), "user's own with macros");
}

TEST_F(WorkingCopy, WithoutATemplateFallsBackOnTheCopyOfAnEarlierRun)
{
    EXPECT_EQ(prepareWorkingCopy(places), root.file("work/spreadsheet.ods"));
    EXPECT_FALSE(fs::exists(root.file("work/spreadsheet.ods")));
    EXPECT_TRUE(fs::is_directory(root.file("work")));

    writeText(root.file("work/spreadsheet.xls"), "last run");
    EXPECT_EQ(prepareWorkingCopy(places), root.file("work/spreadsheet.xls"));
}

TEST_F(WorkingCopy, AFolderThatCannotBeMadeOrCopiedIntoIsSkipped)
{
    writeText(root.file("data/spreadsheet.ods"), "shipped");
    writeText(root.file("work"), "a file where the folder should be");
    EXPECT_EQ(prepareWorkingCopy(places), root.file("work/spreadsheet.ods"));
    EXPECT_EQ(readFile(root.file("work")), "a file where the folder should be");
}

TEST(WorkbookFiles, NamesTheLockFileBesideTheDocument)
{
    EXPECT_EQ(tabwright::lockFilePath("/tmp/t/spreadsheet.ods"), "/tmp/t/.~lock.spreadsheet.ods#");
    EXPECT_EQ(tabwright::fileNameOf("/tmp/t/spreadsheet.ods"), "spreadsheet.ods");
}

TEST(WorkbookFiles, TheInstalledDataFolderFollowsWhereverTheProgramWasInstalled)
{
    const std::pair<std::string, std::string> cases[] = {
        {"/usr/bin/tabwright", "/usr/share/tabwright"},
        {"/usr/local/bin/tabwright", "/usr/local/share/tabwright"},
        {"/opt/lab/bin/tabwright", "/opt/lab/share/tabwright"},
    };
    for (const auto& [program, dataFolder] : cases)
        EXPECT_EQ(tabwright::installedDataFolder(program), dataFolder) << program;
}

TEST(WorkbookFiles, TheUserTemporaryFolderIsTheUsersAlone)
{
    const std::string folder = tabwright::userTemporaryFolder();
    EXPECT_EQ(tabwright::userTemporaryFolder(), folder);
    struct stat info {};
    ASSERT_EQ(stat(folder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_EQ(info.st_uid, getuid());
}

}  // namespace
