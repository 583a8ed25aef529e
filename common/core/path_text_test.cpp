#include "common/core/path_text.h"

#include <gtest/gtest.h>

namespace common {
namespace {

TEST(PathText, JoinPutsOneSeparatorBetween)
{
    EXPECT_EQ(common::joinPath("/data", "run1.bin"), "/data/run1.bin");
    EXPECT_EQ(common::joinPath("/data/", "run1.bin"), "/data/run1.bin");
    EXPECT_EQ(common::joinPath("/", "run1.bin"), "/run1.bin");
    EXPECT_EQ(common::joinPath("", "run1.bin"), "run1.bin");
}

TEST(PathText, SplitKeepsTheSeparatorOnTheFolder)
{
    const common::SplitPath full = common::splitPath("/data/lab/run1.bin");
    EXPECT_EQ(full.folder, "/data/lab/");
    EXPECT_EQ(full.fileName, "run1.bin");
    const common::SplitPath bare = common::splitPath("run1.bin");
    EXPECT_EQ(bare.folder, "");
    EXPECT_EQ(bare.fileName, "run1.bin");
    const common::SplitPath folderOnly = common::splitPath("/data/");
    EXPECT_EQ(folderOnly.folder, "/data/");
    EXPECT_EQ(folderOnly.fileName, "");
}

}  // namespace
}  // namespace common
