#include "tabwright/emulator/whole_number_text.h"

#include <gtest/gtest.h>

namespace tabwright {
namespace {

TEST(WholeNumber16Test, ReadsWholeNumbersWithinSixteenBits)
{
    const std::pair<std::string_view, std::int16_t> cases[] = {
        {"16", 16}, {"0", 0}, {" -3 ", -3}, {"+0042", 42}, {"32767", 32767}, {"-32768", -32768},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(wholeNumber16(text), value) << '"' << text << '"';
}

TEST(WholeNumber16Test, RefusesEverythingElse)
{
    for (std::string_view text : {"", "   ", "+", "-", "1.5", "12abc", "1 2", "+-5", "--5", "32768", "-32769",
                                  "99999999999", "1e2", "\t7"})
        EXPECT_EQ(wholeNumber16(text), std::nullopt) << '"' << text << '"';
}

}  // namespace
}  // namespace tabwright
