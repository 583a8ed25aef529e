#include <gtest/gtest.h>

#include "common/core/cfg_file.h"
#include "logfetch/convert/lastbin_cfg.h"
#include "testing/file_contents.h"
#include "testing/temp_folder.h"

namespace logfetch {
namespace {

using common::readCfgFile;
using common::writeCfgFile;
using testing_support::readFile;

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
