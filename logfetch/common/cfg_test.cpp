#include <gtest/gtest.h>

#include "logfetch/common/cfg_field.h"
#include "logfetch/common/cfg_file.h"
#include "logfetch/common/lastbin_cfg.h"
#include "testing/bin_builder.h"
#include "testing/temp_folder.h"

namespace logfetch {
namespace {

using testing_support::readFile;

TEST(CfgField, FirstFieldEndsAtTheFirstCommaOrTheLineEndWithoutSurroundingSpaces)
{
    EXPECT_EQ(firstField("/data/run1.bin\r\n"), "/data/run1.bin");
    EXPECT_EQ(firstField("  3  \r\nsecond line"), "3");
    EXPECT_EQ(firstField("/data/a,b/run1.bin"), "/data/a");
    EXPECT_EQ(firstField("/lone/line/end\n"), "/lone/line/end");
    EXPECT_EQ(firstField(""), "");
    EXPECT_EQ(firstField("   "), "");
}

TEST(CfgField, QuotedFieldComesBackWithoutItsQuotesCommasAndSpacesKept)
{
    EXPECT_EQ(firstField("\"/data/a,b/run1.bin\"\r\n"), "/data/a,b/run1.bin");
    EXPECT_EQ(firstField("  \" padded \" ,rest"), " padded ");
    EXPECT_EQ(firstField("\"7\""), "7");
    EXPECT_EQ(firstField("\"never closed, at all"), "never closed, at all");
}

TEST(CfgField, EveryStoredValueReadsBackWhole)
{
    for (const std::string value : {"/data/run1.bin", "/lab, week 3/run1.bin", " leading", "trailing ", "", "4"})
        EXPECT_EQ(firstField(fieldLine(value)), value) << value;
    // Plain values are stored as they are, so older readers see the same line.
    EXPECT_EQ(fieldLine("/data/run1.bin"), "/data/run1.bin");
    EXPECT_EQ(fieldLine("/lab, week 3/run1.bin"), "\"/lab, week 3/run1.bin\"");
}

TEST(CfgFile, WritesOneCrLfLineReplacingTheOldFileAndReadsItBack)
{
    testing_support::TempFolder folder;
    const std::string path = folder.file("lastbin.cfg");
    testing_support::writeFile(path, testing_support::Bytes(300, 'x'));
    ASSERT_TRUE(writeCfgFile(path, "/data/run1.bin"));
    EXPECT_EQ(readFile(path), "/data/run1.bin\r\n");
    EXPECT_EQ(readCfgFile(path), "/data/run1.bin");

    ASSERT_TRUE(writeLastBinFile(folder.path(), "/lab, week 3/run1.bin"));
    EXPECT_EQ(readFile(path), "\"/lab, week 3/run1.bin\"\r\n");
    EXPECT_EQ(readLastBinFile(folder.path() + "/"), "/lab, week 3/run1.bin");
}

TEST(CfgFile, MissingFileOrFolderIsNoValueAndCannotBeWritten)
{
    testing_support::TempFolder folder;
    EXPECT_EQ(readCfgFile(folder.file("serialport.cfg")), std::nullopt);
    EXPECT_EQ(readLastBinFile(folder.path()), "");
    EXPECT_FALSE(writeLastBinFile(folder.file("gone"), "/data/run1.bin"));
}

}  // namespace
}  // namespace logfetch
