#include "logfetch/common/path_text.h"

#include <gtest/gtest.h>

namespace logfetch {
namespace {

TEST(PathText, JoinPutsOneSeparatorBetween)
{
    EXPECT_EQ(joinPath("/data", "run1.bin"), "/data/run1.bin");
    EXPECT_EQ(joinPath("/data/", "run1.bin"), "/data/run1.bin");
    EXPECT_EQ(joinPath("/", "run1.bin"), "/run1.bin");
    EXPECT_EQ(joinPath("", "run1.bin"), "run1.bin");
}

TEST(PathText, SplitKeepsTheSeparatorOnTheFolder)
{
    const SplitPath full = splitPath("/data/lab/run1.bin");
    EXPECT_EQ(full.folder, "/data/lab/");
    EXPECT_EQ(full.fileName, "run1.bin");
    const SplitPath bare = splitPath("run1.bin");
    EXPECT_EQ(bare.folder, "");
    EXPECT_EQ(bare.fileName, "run1.bin");
    const SplitPath folderOnly = splitPath("/data/");
    EXPECT_EQ(folderOnly.folder, "/data/");
    EXPECT_EQ(folderOnly.fileName, "");
}

}  // namespace
}  // namespace logfetch
