#include "tabwright/files/workbook_files.h"

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

// What a failed preparation says, or "" when it made a copy.
std::string failureOf(const WorkbookPlaces& places, const std::string& runName)
{
    try {
        prepareWorkingCopy(places, runName);
        return {};
    } catch (const std::runtime_error& error) {
        return error.what();
    }
}

TEST_F(WorkingCopy, WithoutATemplateNoCopyIsMadeAndNoEarlierOneIsOffered)
{
    writeText(root.file("work/earlier.ods"), "an earlier run's data");
    EXPECT_EQ(failureOf(places, "run"), "no template in: " + root.file("current") + ", " + root.file("data") +
                                            " (looked for spreadsheet.ods or spreadsheet.xls)");
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

    fs::remove(root.file("work"));
    fs::create_directories(root.file("work"));
    fs::permissions(root.file("work"), fs::perms::owner_read | fs::perms::owner_exec);
    // Not so for root, who writes anywhere.
    if (access(root.file("work").c_str(), W_OK) != 0) {
        EXPECT_THAT(failureOf(places, "run"),
                    testing::HasSubstr("cannot be copied to " + root.file("work/run.ods")));
    }
    fs::permissions(root.file("work"), fs::perms::owner_all);
}

TEST(WorkbookFiles, OnlyAProgramInTheBuildFolderTakesTheSourceTreesData)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/src/build/release/tabwright/tabwright", "/src/data"},
        {"/src/build/release/tabwright/windows/main_window_test", "/src/data"},
        {"/usr/bin/tabwright", ""},
        {"/opt/lab/bin/tabwright", ""},
        {"/src/build/release2/tabwright/tabwright", ""},
        {"/src/build/tabwright", ""},
    };
    for (const auto& [program, data] : cases)
        EXPECT_EQ(tabwright::buildTreeDataFolder(program, "/src/build/release", "/src/data"), data)
            << program;
}

TEST(WorkbookFiles, APathLiesInAFolderOnlyPartByPart)
{
    const struct {
        const char* path;
        const char* folder;
        bool inside;
    } cases[] = {
        {"/lab/t/spreadsheet.ods", "/lab/t", true},      {"/lab/t/spreadsheet.ods", "/lab/t/", true},
        {"/lab/t/deeper/spreadsheet.ods", "/lab", true}, {"/lab/t", "/lab/t", true},
        {"/lab/t2/spreadsheet.ods", "/lab/t", false},    {"/lab/t/../u/spreadsheet.ods", "/lab/t", false},
        {"/lab/t/spreadsheet.ods", "", false},           {"/lab/t/spreadsheet.ods", "/", true},
    };
    for (const auto& [path, folder, inside] : cases)
        EXPECT_EQ(tabwright::liesIn(path, folder), inside) << path << " in " << folder;
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
