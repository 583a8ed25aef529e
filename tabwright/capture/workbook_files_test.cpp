#include "tabwright/capture/workbook_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <utility>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QStandardPaths>

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

TEST_F(WorkingCopy, TakesTheCurrentFolderFirstThenTheDataFolder)
{
    writeText(root.file("data/spreadsheet.ods"), "shipped");
    EXPECT_EQ(prepareWorkingCopy(places, "run1"), root.file("work/run1.ods"));
    EXPECT_EQ(readFile(root.file("work/run1.ods")), "shipped");

    writeText(root.file("current/spreadsheet.xls"), "user's own");
    EXPECT_EQ(prepareWorkingCopy(places, "run2"), root.file("work/run2.xls"));
    EXPECT_EQ(readFile(root.file("work/run2.xls")), "user's own");

    writeText(root.file("current/spreadsheet.ods"), "user's own with macros");
    EXPECT_EQ(prepareWorkingCopy(places, "run3"), root.file("work/run3.ods"));
    EXPECT_EQ(readFile(root.file("work/run3.ods")), "user's own with macros");
}

TEST_F(WorkingCopy, NoStartReplacesTheCopyOfAnEarlierRun)
{
    writeText(root.file("data/spreadsheet.ods"), "shipped");
    // Runs started in the same second share their name; the user saved into the first.
    const std::string first = prepareWorkingCopy(places, "2026-12-09_10-00-00");
    writeText(first, "saved by the user");
    const std::string second = prepareWorkingCopy(places, "2026-12-09_10-00-00");
    const std::string third = prepareWorkingCopy(places, "2026-12-09_10-00-00");
    EXPECT_EQ(first, root.file("work/2026-12-09_10-00-00.ods"));
    EXPECT_EQ(second, root.file("work/2026-12-09_10-00-00-2.ods"));
    EXPECT_EQ(third, root.file("work/2026-12-09_10-00-00-3.ods"));
    EXPECT_EQ(readFile(first), "saved by the user");
    EXPECT_EQ(readFile(third), "shipped");
}

TEST_F(WorkingCopy, WithoutATemplateNoCopyIsMadeAndNoEarlierOneIsOffered)
{
    writeText(root.file("work/earlier.ods"), "an earlier run's data");
    EXPECT_EQ(prepareWorkingCopy(places, "run"), root.file("work/run.ods"));
    EXPECT_FALSE(fs::exists(root.file("work/run.ods")));
    EXPECT_EQ(readFile(root.file("work/earlier.ods")), "an earlier run's data");
}

TEST_F(WorkingCopy, AFolderThatCannotBeMadeOrCopiedIntoIsNamedAndLeftAsItIs)
{
    writeText(root.file("data/spreadsheet.ods"), "shipped");
    writeText(root.file("work"), "a file where the folder should be");
    try {
        prepareWorkingCopy(places, "run");
        ADD_FAILURE() << "a working copy was offered in a folder that is a file";
    } catch (const std::runtime_error& error) {
        EXPECT_THAT(error.what(), testing::HasSubstr("cannot make the folder " + root.file("work")));
    }
    EXPECT_EQ(readFile(root.file("work")), "a file where the folder should be");
}

TEST(WorkbookFiles, WorkingCopiesAreKeptInTheDocumentsFolder)
{
    EXPECT_EQ(
        tabwright::workingCopiesFolder(),
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString() + "/Tabwright");
    EXPECT_EQ(tabwright::defaultWorkbookPlaces().workingFolder, tabwright::workingCopiesFolder());
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
