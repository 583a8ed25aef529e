#include "common/core/file_beside.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "testing/file_contents.h"
#include "testing/temp_folder.h"

namespace common {
namespace {

namespace fs = std::filesystem;
using testing_support::readFile;

void put(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

mode_t rightsOf(const std::string& path)
{
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

std::size_t filesIn(const std::string& folder)
{
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

TEST(FileBeside, ReplacesTheTargetOnlyOnceToldKeepingItsRightsAndGoesWhenNotPlaced)
{
    testing_support::TempFolder folder;
    const std::string target = folder.file("out.csv");
    put(target, "earlier");
    ::chmod(target.c_str(), 0600);
    {
        FileBeside beside(target);
        // Before a byte is written the new file is as closed to others as the target.
        EXPECT_EQ(rightsOf(beside.path()), 0600U);
        EXPECT_EQ(fs::path(beside.path()).parent_path(), fs::path(folder.path()));
        put(beside.path(), "new");
        EXPECT_EQ(readFile(target), "earlier");
        beside.replaceTarget();
    }
    EXPECT_EQ(readFile(target), "new");
    EXPECT_EQ(rightsOf(target), 0600U);
    EXPECT_EQ(filesIn(folder.path()), 1U);
    {
        // Not placed: it goes, and the target stays as it was.
        FileBeside beside(target);
        put(beside.path(), "half");
    }
    EXPECT_EQ(readFile(target), "new");
    EXPECT_EQ(filesIn(folder.path()), 1U);
}

// A name held by a file, or by a link even one that leads nowhere, is never replaced and
// the link never followed.
TEST(FileBeside, ClaimNeverReplacesAFile)
{
    testing_support::TempFolder folder;
    put(folder.file("taken.ods"), "someone else's");
    FileBeside beside(folder.file("taken.ods"));
    put(beside.path(), "mine");
    EXPECT_FALSE(beside.claim(folder.file("taken.ods")));
    EXPECT_EQ(readFile(folder.file("taken.ods")), "someone else's");
    fs::create_symlink(folder.file("nowhere"), folder.file("dangling.ods"));
    EXPECT_FALSE(beside.claim(folder.file("dangling.ods")));
    EXPECT_FALSE(fs::exists(folder.file("nowhere")));
    EXPECT_TRUE(beside.claim(folder.file("free.ods")));
    EXPECT_EQ(readFile(folder.file("free.ods")), "mine");
    EXPECT_FALSE(fs::exists(beside.path()));
}

TEST(FileBeside, FolderThatTakesNoFileIsTold)
{
    testing_support::TempFolder folder;
    EXPECT_THROW(FileBeside(folder.file("missing/out.csv")), std::system_error);
}

TEST(NumberedName, NumberGoesBeforeTheExtension)
{
    const struct {
        const char* path;
        int number;
        const char* expected;
    } cases[] = {
        {"capture-2026-12-09_11-00-49.ods", 2, "capture-2026-12-09_11-00-49-2.ods"},
        {"/data/run.csv", 3, "/data/run-3.csv"},
        {"dir.d/journal", 2, "dir.d/journal-2"},
        {"a.b.xlsx", 10, "a.b-10.xlsx"},
    };
    for (const auto& test : cases)
        EXPECT_EQ(numberedName(test.path, test.number), test.expected) << test.path;
}

}  // namespace
}  // namespace common
