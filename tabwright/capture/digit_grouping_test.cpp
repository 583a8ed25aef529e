#include "tabwright/capture/digit_grouping.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace tabwright {
namespace {

struct Count {
    std::int64_t count;
    const char* noun;
    const char* shown;
};

TEST(CountOf, GroupsTheDigitsAndSaysOneThingOrMany)
{
    const Count counts[] = {{0, "row", "0 rows"},
                            {1, "row", "1 row"},
                            {2, "byte", "2 bytes"},
                            {1000, "row", "1,000 rows"},
                            {20800, "byte", "20,800 bytes"},
                            {1234567, "byte", "1,234,567 bytes"},
                            {-3, "row", "0 rows"}};
    for (const Count& count : counts)
        EXPECT_EQ(countOf(count.count, count.noun), count.shown) << count.count;
}

}  // namespace
}  // namespace tabwright
