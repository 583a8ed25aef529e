#include "tabwright/capture/capture_workbook.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "tabwright/testing/recording_spreadsheet.h"
#include "tabwright/testing/recording_spreadsheet_factory.h"
#include "testing/scripted_prompter.h"

namespace {

using tabwright::SpreadsheetError;
using tabwright::SpreadsheetFailure;
using testing::ElementsAre;
using testing::IsEmpty;
using testing_support::RecordingSpreadsheet;
using testing_support::RecordingSpreadsheetFactory;

const std::string kCopy = "/tmp/tabwright-1000/spreadsheet.ods";

TEST(OpenCaptureWorkbook, OpensThePersonalWorkbookFirstThenTheWorkingCopyAndShowsIt)
{
    RecordingSpreadsheet spreadsheet;
    spreadsheet.startupFolder = "/cfg";
    spreadsheet.existingFiles = {"/cfg/Personal.xls"};
    EXPECT_TRUE(tabwright::openCaptureWorkbook(spreadsheet, kCopy));
    EXPECT_THAT(
        spreadsheet.calls,
        ElementsAre("newInstance", "startupPath", "personalWorkbookExists /cfg/Personal.ods",
                    "personalWorkbookExists /cfg/Personal.xls", "openPersonalWorkbook /cfg/Personal.xls",
                    "openCaptureWorkbook " + kCopy, "makeVisible"));
}

TEST(OpenCaptureWorkbook, PersonalWorkbookTroubleNeverStopsTheStart)
{
    for (const std::string failing : {"", "startupPath", "personalWorkbookExists", "openPersonalWorkbook"}) {
        RecordingSpreadsheet spreadsheet;
        spreadsheet.startupFolder = "/cfg";
        spreadsheet.existingFiles = {"/cfg/Personal.ods"};
        if (!failing.empty())
            spreadsheet.failCall(failing);
        EXPECT_TRUE(tabwright::openCaptureWorkbook(spreadsheet, kCopy)) << failing;
        EXPECT_EQ(spreadsheet.calls.back(), "makeVisible") << failing;
    }
    RecordingSpreadsheet without;
    EXPECT_TRUE(tabwright::openCaptureWorkbook(without, kCopy));
    EXPECT_THAT(without.calls, testing::Not(testing::Contains(testing::StartsWith("openPersonalWorkbook"))));
}

TEST(OpenCaptureWorkbook, FailsTheStartWhenTheInstanceTheWorkingCopyOrTheWindowFails)
{
    const std::pair<std::string, std::string> cases[] = {
        {"newInstance", "LibreOffice Calc did not start: newInstance failed as told"},
        {"openCaptureWorkbook",
         "The capture workbook " + kCopy + " could not be opened: openCaptureWorkbook failed as told"},
        {"makeVisible",
         "The capture workbook " + kCopy + " could not be opened: makeVisible failed as told"}};
    for (const auto& [failing, reason] : cases) {
        RecordingSpreadsheet spreadsheet;
        spreadsheet.failCall(failing);
        const tabwright::WorkbookOpening opening = tabwright::openCaptureWorkbook(spreadsheet, kCopy);
        EXPECT_FALSE(opening) << failing;
        EXPECT_EQ(opening.reason, reason);
        EXPECT_EQ(spreadsheet.calls.back().substr(0, failing.size()), failing);
        // The instance, once created, is not quit: it stays referenced until the next Start.
        EXPECT_THAT(spreadsheet.calls, testing::Not(testing::Contains("quit")));
    }
}

TEST(OpenFreshWorkbook, EveryFailureKeepsItsReasonAndNoApplicationStartsWithoutATemplate)
{
    const struct {
        const char* name;
        std::function<void(RecordingSpreadsheetFactory&)> set;
        std::string reason;
        std::size_t made;
    } cases[] = {
        {"no template", [](auto& f) { f.preparingFails = "no template in: /lab, /usr/share/tabwright"; },
         "The capture workbook cannot be made: no template in: /lab, /usr/share/tabwright", 0},
        {"no application", [](auto& f) { f.failMaking = true; },
         "LibreOffice Calc cannot be used: no spreadsheet application, as told", 0},
        {"no instance", [](auto& f) { f.prepare = [](auto& s) { s.failCall("newInstance"); }; },
         "LibreOffice Calc did not start: newInstance failed as told", 1},
        {"no workbook", [](auto& f) { f.prepare = [](auto& s) { s.failCall("openCaptureWorkbook"); }; },
         "The capture workbook /tmp/tabwright-test/spreadsheet.ods could not be opened: openCaptureWorkbook "
         "failed as told",
         1},
        {"opened", [](auto&) {}, "", 1},
    };
    for (const auto& [name, set, reason, made] : cases) {
        RecordingSpreadsheetFactory factory;
        set(factory);
        const tabwright::FreshWorkbook fresh = tabwright::openFreshWorkbook(factory, "run", false);
        EXPECT_EQ(fresh.opened, reason.empty()) << name;
        EXPECT_EQ(fresh.reason, reason) << name;
        EXPECT_EQ(factory.made.size(), made) << name;
        EXPECT_EQ(factory.runNames, std::vector<std::string>{"run"}) << name;
    }
}

TEST(PrepareFreshWorkbook, StartsNoApplicationAndPassesTheFollowingOn)
{
    RecordingSpreadsheetFactory factory;
    const tabwright::FreshWorkbook fresh = tabwright::prepareFreshWorkbook(factory, "run", false);
    EXPECT_FALSE(fresh.opened);
    EXPECT_EQ(fresh.reason, "");
    EXPECT_EQ(fresh.workingCopy, factory.workingCopy);
    EXPECT_THAT(factory.last().calls, IsEmpty());
    EXPECT_FALSE(factory.last().following);
}

TEST(RunEndOfRunMacro, PassesTheWorkbookAndTheNameExactlyAsTyped)
{
    RecordingSpreadsheet spreadsheet;
    testing_support::ScriptedPrompter prompter;
    tabwright::runEndOfRunMacro(spreadsheet, "spreadsheet.ods", "  ChartReadings ", prompter);
    EXPECT_THAT(spreadsheet.calls, ElementsAre("runMacro spreadsheet.ods!  ChartReadings "));
    EXPECT_THAT(prompter.messages, IsEmpty());
}

TEST(RunEndOfRunMacro, TellsTheUserOfAMissingOrFailingMacro)
{
    RecordingSpreadsheet spreadsheet;
    testing_support::ScriptedPrompter prompter;
    spreadsheet.failNextCall("runMacro", SpreadsheetFailure::MacroNotFound);
    tabwright::runEndOfRunMacro(spreadsheet, "spreadsheet.ods", "Nope", prompter);
    spreadsheet.failNextCall("runMacro", SpreadsheetFailure::MacroFailed);
    tabwright::runEndOfRunMacro(spreadsheet, "spreadsheet.ods", "Broken", prompter);
    EXPECT_THAT(
        prompter.messages,
        ElementsAre("The macro \"spreadsheet.ods!Nope\" was not found in the capture workbook or in the "
                    "personal macro workbook.",
                    "The macro \"spreadsheet.ods!Broken\" failed: runMacro failed as told"));
}

TEST(RunEndOfRunMacro, LeavesAClosedWorkbookToTheCaller)
{
    RecordingSpreadsheet spreadsheet;
    testing_support::ScriptedPrompter prompter;
    spreadsheet.failCall("runMacro", SpreadsheetFailure::Gone);
    try {
        tabwright::runEndOfRunMacro(spreadsheet, "spreadsheet.ods", "ChartReadings", prompter);
        FAIL() << "no error passed on";
    } catch (const SpreadsheetError& error) {
        EXPECT_EQ(error.failure(), SpreadsheetFailure::Gone);
    }
    EXPECT_THAT(prompter.messages, IsEmpty());
}

}  // namespace
