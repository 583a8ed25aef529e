#include <gtest/gtest.h>

#include "common/core/cfg_field.h"

namespace common {
namespace {

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
    for (const std::string value :
         {"/data/run1.bin", "/lab, week 3/run1.bin", " leading", "trailing ", "", "4"})
        EXPECT_EQ(firstField(fieldLine(value)), value) << value;
    // Plain values are stored as they are, so older readers see the same line.
    EXPECT_EQ(fieldLine("/data/run1.bin"), "/data/run1.bin");
    EXPECT_EQ(fieldLine("/lab, week 3/run1.bin"), "\"/lab, week 3/run1.bin\"");
}

}  // namespace
}  // namespace common
