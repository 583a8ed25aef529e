#include "logfetch/convert/jfix_table.h"

#include <gtest/gtest.h>

#include "logfetch/testing/bin_builder.h"
#include "testing/temp_folder.h"

namespace logfetch {
namespace {

TEST(JfixTable, WritesCodesAboveOneTwentyEightTwiceAndListsWhatItReadsBack)
{
    testing_support::TempFolder folder;
    const auto items = MakeJfixTable(folder.path());
    ASSERT_EQ(items.size(), 383U);
    EXPECT_EQ(items[0], "0");
    EXPECT_EQ(items[128], "128");
    EXPECT_EQ(items[129], "129");
    EXPECT_EQ(items[130], "129");
    EXPECT_EQ(items[382], "255");
    EXPECT_EQ(testing_support::readFile(folder.file("jfix.txt")).size(), 383U);
}

TEST(JfixTable, ReusesALongerFileFromItsStartAndStopsAtTheTableSize)
{
    testing_support::TempFolder folder;
    testing_support::writeFile(folder.file("jfix.txt"), testing_support::Bytes(700, 'A'));
    const auto items = MakeJfixTable(folder.path());
    ASSERT_EQ(items.size(), kJfixCapacity);
    EXPECT_EQ(items[382], "255");
    EXPECT_EQ(items[383], "65");
    EXPECT_EQ(testing_support::readFile(folder.file("jfix.txt")).size(), 700U);
}

TEST(JfixTable, FolderThatCannotBeWrittenGivesNoItemsAndNoError)
{
    testing_support::TempFolder folder;
    EXPECT_TRUE(MakeJfixTable(folder.file("missing/sub")).empty());
}

}  // namespace
}  // namespace logfetch
