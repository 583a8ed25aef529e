#include "common/core/whole_number.h"

#include <gtest/gtest.h>

#include <optional>
#include <string_view>

namespace common {
namespace {

struct Case {
    std::string_view text;
    std::optional<long long> none, minus, plusOrMinus, plusBeforeSigned;
};

constexpr auto kNo = std::nullopt;

// Each text under every sign rule, with blanks allowed as spaces.
TEST(WholeNumberTest, EachSignRuleTakesItsOwnSigns)
{
    const Case cases[] = {
        {"42", 42, 42, 42, 42},
        {"0042", 42, 42, 42, 42},
        {"-7", kNo, -7, -7, -7},
        {"+7", kNo, kNo, 7, 7},
        {"+-7", kNo, kNo, kNo, -7},
        {"-+7", kNo, kNo, kNo, kNo},
        {"--7", kNo, kNo, kNo, kNo},
        {"++7", kNo, kNo, kNo, kNo},
        {"+", kNo, kNo, kNo, kNo},
        {"-", kNo, kNo, kNo, kNo},
        {"", kNo, kNo, kNo, kNo},
        {"1.5", kNo, kNo, kNo, kNo},
        {"12abc", kNo, kNo, kNo, kNo},
        {"1 2", kNo, kNo, kNo, kNo},
        {"1e2", kNo, kNo, kNo, kNo},
        {"- 7", kNo, kNo, kNo, kNo},
        {"9223372036854775807", 9223372036854775807LL, 9223372036854775807LL, 9223372036854775807LL,
         9223372036854775807LL},
        {"-9223372036854775808", kNo, -9223372036854775807LL - 1, -9223372036854775807LL - 1,
         -9223372036854775807LL - 1},
        {"9223372036854775808", kNo, kNo, kNo, kNo},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(wholeNumber(c.text, {Blanks::Spaces, Sign::None}), c.none) << '"' << c.text << '"';
        EXPECT_EQ(wholeNumber(c.text, {Blanks::Spaces, Sign::Minus}), c.minus) << '"' << c.text << '"';
        EXPECT_EQ(wholeNumber(c.text, {Blanks::Spaces, Sign::PlusOrMinus}), c.plusOrMinus)
            << '"' << c.text << '"';
        EXPECT_EQ(wholeNumber(c.text, {Blanks::Spaces, Sign::PlusBeforeSigned}), c.plusBeforeSigned)
            << '"' << c.text << '"';
    }
}

TEST(WholeNumberTest, EachBlankRuleTakesItsOwnBlanks)
{
    struct BlankCase {
        std::string_view text;
        std::optional<long long> none, spaces, spacesAndTabs;
    };
    const BlankCase cases[] = {
        {"5", 5, 5, 5},           {" 5", kNo, 5, 5},      {"5  ", kNo, 5, 5},     {"\t5", kNo, kNo, 5},
        {" \t5\t ", kNo, kNo, 5}, {"   ", kNo, kNo, kNo}, {"\n5", kNo, kNo, kNo},
    };
    for (const BlankCase& c : cases) {
        EXPECT_EQ(wholeNumber(c.text, {Blanks::None, Sign::Minus}), c.none) << '"' << c.text << '"';
        EXPECT_EQ(wholeNumber(c.text, {Blanks::Spaces, Sign::Minus}), c.spaces) << '"' << c.text << '"';
        EXPECT_EQ(wholeNumber(c.text, {Blanks::SpacesAndTabs, Sign::Minus}), c.spacesAndTabs)
            << '"' << c.text << '"';
    }
}

TEST(WholeNumberTest, ALimitIsTheLastNumberWithin)
{
    const WholeNumberRule rule{Blanks::None, Sign::Minus};
    EXPECT_EQ(wholeNumber("1", rule, 1, 16), 1);
    EXPECT_EQ(wholeNumber("16", rule, 1, 16), 16);
    EXPECT_EQ(wholeNumber("0", rule, 1, 16), kNo);
    EXPECT_EQ(wholeNumber("17", rule, 1, 16), kNo);
}

TEST(WholeNumberTest, ALeadingNumberIsTakenOnlyWhenThereIsOneWithin)
{
    std::string_view text = "6.1.0-13-amd64";
    EXPECT_EQ(takeLeadingWholeNumber(text, 0, 100), 6);
    EXPECT_EQ(text, ".1.0-13-amd64");
    EXPECT_EQ(takeLeadingWholeNumber(text, 0, 100), kNo);
    EXPECT_EQ(text, ".1.0-13-amd64");

    text = "-3x";
    EXPECT_EQ(takeLeadingWholeNumber(text, -5, 5), -3);
    EXPECT_EQ(text, "x");
    text = "300.1";
    EXPECT_EQ(takeLeadingWholeNumber(text, 0, 255), kNo);
    EXPECT_EQ(text, "300.1");
}

}  // namespace
}  // namespace common
