#include "common/core/leading_number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>

namespace common {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr LeadingNumberRule kBox{NumberBlanks::Anywhere, TooLarge::Infinity};
constexpr LeadingNumberRule kOutput{NumberBlanks::Before, TooLarge::Zero};

TEST(LeadingNumber, EachRuleReadsTheNumberATextStartsWith)
{
    const struct {
        std::string text;
        double box;     // blanks anywhere, too large is infinite
        double output;  // blanks before only, too large is 0
    } cases[] = {
        {"", 0, 0},
        {"abc", 0, 0},
        {"12abc", 12, 12},
        {"  \t42", 42, 42},
        {"1 2", 12, 1},
        {"- 5", -5, 0},
        {"+7.5", 7.5, 7.5},
        {"-.5", -0.5, -0.5},
        {"1.2.3", 1.2, 1.2},
        {"1e", 1, 1},
        {"1e+", 1, 1},
        {"2.5E2x", 250, 250},
        {"9999\r\n", 9999, 9999},
        {"1e400", kInfinity, 0},
        {"-1e400", -kInfinity, 0},
        {"1" + std::string(400, '0'), kInfinity, 0},
        {"1e-400", 0, 0},
        {"0." + std::string(500, '0') + "1", 0, 0},
        {"1e99999999999999999999", kInfinity, 0},
    };
    for (const auto& [text, box, output] : cases) {
        EXPECT_EQ(leadingNumber(text, kBox), box) << text;
        EXPECT_EQ(leadingNumber(text, kOutput), output) << text;
    }
}

TEST(DecimalNumber, OnlyAWholeFiniteNumberIsRead)
{
    const struct {
        const char* text;
        Blanks blanks;
        std::optional<double> value;
    } cases[] = {
        {"1.5", Blanks::None, 1.5},
        {"10", Blanks::None, 10},
        {"-2", Blanks::None, -2},
        {"3e2", Blanks::None, 300},
        {" 1.5 ", Blanks::Spaces, 1.5},
        {" 1.5", Blanks::None, std::nullopt},
        {"", Blanks::None, std::nullopt},
        {"+1", Blanks::None, std::nullopt},
        {"1.5s", Blanks::None, std::nullopt},
        {"inf", Blanks::None, std::nullopt},
        {"nan", Blanks::None, std::nullopt},
        {"1e400", Blanks::None, std::nullopt},
    };
    for (const auto& [text, blanks, value] : cases)
        EXPECT_EQ(decimalNumber(text, blanks), value) << text;
}

}  // namespace
}  // namespace common
