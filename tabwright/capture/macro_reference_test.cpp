#include "tabwright/capture/macro_reference.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using tabwright::namesMacro;
using tabwright::parseMacroReference;
using testing::ElementsAre;

TEST(MacroReference, SplitsTheWorkbookAtTheFirstBangAndTheNameAtDots)
{
    auto reference = parseMacroReference("spreadsheet.ods!Standard.Tools.Chart");
    EXPECT_EQ(reference.workbook, "spreadsheet.ods");
    EXPECT_THAT(reference.parts, ElementsAre("Standard", "Tools", "Chart"));

    reference = parseMacroReference(" Chart");
    EXPECT_EQ(reference.workbook, "");
    EXPECT_THAT(reference.parts, ElementsAre(" Chart"));

    reference = parseMacroReference("a!b!c");
    EXPECT_EQ(reference.workbook, "a");
    EXPECT_THAT(reference.parts, ElementsAre("b!c"));
}

TEST(MacroReference, MatchesTheTrailingPartsIgnoringLetterCase)
{
    EXPECT_TRUE(namesMacro(parseMacroReference("x!chartreadings"), "Standard", "Tools", "ChartReadings"));
    EXPECT_TRUE(
        namesMacro(parseMacroReference("x!TOOLS.ChartReadings"), "Standard", "Tools", "ChartReadings"));
    EXPECT_TRUE(namesMacro(parseMacroReference("Standard.Tools.ChartReadings"), "Standard", "Tools",
                           "ChartReadings"));
    EXPECT_FALSE(
        namesMacro(parseMacroReference("Other.ChartReadings"), "Standard", "Tools", "ChartReadings"));
    EXPECT_FALSE(namesMacro(parseMacroReference("A.Standard.Tools.ChartReadings"), "Standard", "Tools",
                            "ChartReadings"));
    // Spaces are part of the name: nothing is trimmed.
    EXPECT_FALSE(namesMacro(parseMacroReference("x! ChartReadings"), "Standard", "Tools", "ChartReadings"));
    EXPECT_FALSE(namesMacro(parseMacroReference("x!"), "Standard", "Tools", "ChartReadings"));
}

}  // namespace
