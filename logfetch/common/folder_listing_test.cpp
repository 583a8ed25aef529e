#include "logfetch/common/folder_listing.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "testing/bin_builder.h"
#include "testing/temp_folder.h"

namespace logfetch {
namespace {

TEST(FolderListing, ListsFileNamesOnlyAndNothingForAMissingFolder)
{
    testing_support::TempFolder folder;
    testing_support::writeFile(folder.file("Run1.PRN"), {});
    testing_support::writeFile(folder.file("run1.bin"), {});
    std::filesystem::create_directory(folder.file("sub.prn"));
    EXPECT_THAT(listFileNames(folder.path()), ::testing::UnorderedElementsAre("Run1.PRN", "run1.bin"));
    EXPECT_THAT(listFileNames(folder.file("gone")), ::testing::IsEmpty());
}

}  // namespace
}  // namespace logfetch
