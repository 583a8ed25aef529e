#include "logfetch/windows/startup_values.h"

#include <gtest/gtest.h>

#include "logfetch/convert/lastbin_cfg.h"
#include "logfetch/program_identity.h"
#include "testing/temp_folder.h"

namespace logfetch {
namespace {

TEST(StartupValues, NoLastBinFileGivesBareExtensions)
{
    testing_support::TempFolder folder;
    StepValues values;
    values.gLastBinFile = "stale";
    loadStartupValues(folder.path(), values);
    EXPECT_EQ(values.gLastBinFile, "");
    EXPECT_EQ(values.gCsvFile, ".CSV");
    EXPECT_EQ(values.gPrnFile, ".PRN");
}

TEST(StartupValues, RememberedPathGivesUpperCaseReportNames)
{
    testing_support::TempFolder folder;
    ASSERT_TRUE(writeLastBinFile(folder.path(), "/data/Lab 3/run1.bin"));
    StepValues values;
    loadStartupValues(folder.path(), values);
    EXPECT_EQ(values.gLastBinFile, "/data/Lab 3/run1.bin");
    EXPECT_EQ(values.gCsvFile, "/DATA/LAB 3/RUN1.CSV");
    EXPECT_EQ(values.gPrnFile, "/DATA/LAB 3/RUN1.PRN");
}

TEST(StartupValues, PathShorterThanAnExtensionGivesBareExtensions)
{
    testing_support::TempFolder folder;
    ASSERT_TRUE(writeLastBinFile(folder.path(), "a.b"));
    StepValues values;
    loadStartupValues(folder.path(), values);
    EXPECT_EQ(values.gLastBinFile, "a.b");
    EXPECT_EQ(values.gPrnFile, ".PRN");
}

TEST(VersionText, RevisionShownOnlyWhenNotZero)
{
    EXPECT_EQ(versionText(), "Version 2.1");
    EXPECT_EQ(versionText({3, 0, 0}), "Version 3.0");
    EXPECT_EQ(versionText({2, 1, 7}), "Version 2.1.7");
}

}  // namespace
}  // namespace logfetch
