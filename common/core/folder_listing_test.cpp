#include "common/core/folder_listing.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "testing/file_contents.h"
#include "testing/temp_folder.h"

namespace common {
namespace {

TEST(FolderListing, ListsFileNamesOnlyAndNothingForAMissingFolder)
{
    testing_support::TempFolder folder;
    testing_support::writeFile(folder.file("Run1.PRN"), {});
    testing_support::writeFile(folder.file("run1.bin"), {});
    std::filesystem::create_directory(folder.file("sub.prn"));
    EXPECT_THAT(common::listFileNames(folder.path()),
                ::testing::UnorderedElementsAre("Run1.PRN", "run1.bin"));
    EXPECT_THAT(common::listFileNames(folder.file("gone")), ::testing::IsEmpty());
}

TEST(FolderListing, FindsANameInAnyLetterCase)
{
    testing_support::TempFolder folder;
    testing_support::writeFile(folder.file("run7.bin"), {});
    std::filesystem::create_directory(folder.file("sub.bin"));
    EXPECT_TRUE(common::folderListsName(folder.path(), "RUN7.BIN"));
    EXPECT_TRUE(common::folderListsName(folder.path(), "run7.bin"));
    EXPECT_FALSE(common::folderListsName(folder.path(), "run7.bi"));
    EXPECT_FALSE(common::folderListsName(folder.path(), "SUB.BIN"));  // a folder, not a file
    EXPECT_FALSE(common::folderListsName(folder.file("gone"), "run7.bin"));
}

}  // namespace
}  // namespace common
