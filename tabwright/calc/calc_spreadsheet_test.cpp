// Runs against a real headless Calc. Tests that leave the shared instance usable share one;
// the others start their own. Every test ends every process it starts.
#include "tabwright/calc/calc_spreadsheet.h"

#include <signal.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/table/CellContentType.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XTableChartsSupplier.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/util/XCloseable.hpp>

#include "tabwright/calc/office_process.h"
#include "tabwright/calc/uno_link.h"
#include "tabwright/calc/workbook_maker.h"
#include "tabwright/capture/capture_workbook.h"
#include "tabwright/capture/workbook_files.h"
#include "tabwright/testing/calc_user_side.h"
#include "testing/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;
using tabwright::CalcSpreadsheet;
using tabwright::CellValue;
using tabwright::RowCells;
using tabwright::SpreadsheetError;
using tabwright::SpreadsheetFailure;
using namespace std::chrono_literals;

// Macros of the personal workbook: one that marks the capture workbook, and one that Calc
// refuses to run (it needs an argument), which the script framework reports. A Basic
// run-time error is not reported back: Calc shows it in its own window instead.
constexpr const char* kPersonalMacros = R"(
Sub MarkCapture
	StarDesktop.CurrentComponent.CurrentController.ActiveSheet.getCellByPosition(9, 0).String = "marked"
End Sub

Sub NeedsArgument(value As Integer)
	ThisComponent.Title = value
End Sub
)";

using UserSide = testing_support::CalcUserSide;

// A working folder with the shipped template copied in, a start-up folder and the
// options of a headless Calc using them.
struct Places {
    testing_support::TempFolder root;
    std::string workingCopy = tabwright::prepareWorkingCopy({{PROJECT_DATA_DIR}, root.file("work")});
    tabwright::CalcOptions options{root.file("startup"), root.file("instances"),
                                   CalcOptions::Display::Headless};

    Places()
    {
        fs::create_directories(root.file("startup"));
        fs::create_directories(root.file("instances"));
    }
    bool lockFilesLeft() const
    {
        for (const auto& folder : {root.file("work"), root.file("startup")})
            for (const auto& entry : fs::directory_iterator(folder))
                if (entry.path().filename().string().starts_with(".~lock."))
                    return true;
        return false;
    }
    bool profilesLeft() const { return !fs::is_empty(root.file("instances")); }

    using CalcOptions = tabwright::CalcOptions;
};

// Processes killed by a test vanish once collected, which takes a moment.
bool endsWithin(pid_t group, std::chrono::seconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (tabwright::processGroupRunning(group)) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(50ms);
    }
    return true;
}

SpreadsheetFailure failureOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const SpreadsheetError& error) {
        return error.failure();
    }
    ADD_FAILURE() << "the call did not fail";
    return SpreadsheetFailure::Failed;
}

// One instance for the tests that leave it usable: capture workbook and personal
// workbook open, as after a Start.
class SharedCalc : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        places = new Places;
        calc = new CalcSpreadsheet(places->options);
        calc->newInstance();
        user = new UserSide(calc->pipeName());
        const std::string personal = calc->startupPath() + "/Personal.ods";
        tabwright::writeWorkbookWithMacros(user->desktop(), personal, "Macros", "Personal", kPersonalMacros);
        ASSERT_TRUE(calc->personalWorkbookExists(personal));
        calc->openPersonalWorkbook(personal);
        calc->openCaptureWorkbook(places->workingCopy);
        calc->makeVisible();
    }
    static void TearDownTestSuite()
    {
        const pid_t group = calc->processGroup();
        delete user;
        calc->quit();
        EXPECT_FALSE(tabwright::processGroupRunning(group));
        EXPECT_FALSE(places->lockFilesLeft());
        EXPECT_FALSE(places->profilesLeft());
        delete calc;
        delete places;
    }

    static inline Places* places = nullptr;
    static inline CalcSpreadsheet* calc = nullptr;
    static inline UserSide* user = nullptr;
};

TEST_F(SharedCalc, WritesTextAndNumbersIntoTheActiveSheetCountingFromOne)
{
    calc->writeText(1, 1, "0012");
    calc->writeText(3, 2, "43 (C) \xB0");
    calc->writeNumber(1, 3, 13.5);
    calc->writeText(4, 4, "");
    EXPECT_EQ(user->text("spreadsheet.ods", 1, 1), "0012");
    EXPECT_EQ(user->cell("spreadsheet.ods", 1, 1)->getType(), css::table::CellContentType_TEXT);
    EXPECT_EQ(user->text("spreadsheet.ods", 3, 2), "43 (C) \xB0");
    EXPECT_EQ(user->cell("spreadsheet.ods", 1, 3)->getValue(), 13.5);
    EXPECT_EQ(user->cell("spreadsheet.ods", 1, 3)->getType(), css::table::CellContentType_VALUE);
    EXPECT_EQ(user->cell("spreadsheet.ods", 4, 4)->getType(), css::table::CellContentType_EMPTY);
    EXPECT_EQ(calc->workbookName(), "spreadsheet.ods");
}

TEST_F(SharedCalc, AWriteOutsideTheSheetFailsWithoutEndingTheRun)
{
    EXPECT_EQ(failureOf([] { calc->writeText(0, 1, "x"); }), SpreadsheetFailure::Failed);
    EXPECT_EQ(failureOf([] { calc->writeNumber(1, 20000, 1.0); }), SpreadsheetFailure::Failed);
    const std::vector<CellValue> row{"x", 1.0};
    EXPECT_EQ(failureOf([&] { calc->writeRow(0, 1, row); }), SpreadsheetFailure::Failed);
    EXPECT_EQ(failureOf([&] { calc->writeRow(1, 16384, row); }), SpreadsheetFailure::Failed);
    EXPECT_EQ(failureOf([&] { calc->writeRow(1, std::numeric_limits<int>::max(), row); }),
              SpreadsheetFailure::Failed);
    EXPECT_NO_THROW(calc->writeText(1, 1, "still writing"));
}

TEST_F(SharedCalc, TheShippedMacroChartsTheFirstChangingNumbersAndTurnsTheirTextIntoNumbers)
{
    for (int row = 1; row <= 6; ++row) {
        calc->writeText(row, 4, "0");                          // constant: not charted
        calc->writeText(row, 5, "000" + std::to_string(row));  // an index: not charted
        calc->writeText(row, 6, std::to_string(row * row));    // the readings
        calc->writeText(row, 7, "(RAW)");
    }
    calc->runMacro("spreadsheet.ods!ChartReadings");
    EXPECT_TRUE(user->hasChart("spreadsheet.ods", "Readings"));
    EXPECT_EQ(user->cell("spreadsheet.ods", 6, 6)->getType(), css::table::CellContentType_VALUE);
    EXPECT_EQ(user->cell("spreadsheet.ods", 6, 6)->getValue(), 36.0);
    EXPECT_EQ(user->cell("spreadsheet.ods", 6, 4)->getType(), css::table::CellContentType_TEXT);
    EXPECT_EQ(user->cell("spreadsheet.ods", 6, 5)->getType(), css::table::CellContentType_TEXT);
    // Running it again replaces its chart.
    EXPECT_NO_THROW(calc->runMacro("spreadsheet.ods!Standard.Tabwright.ChartReadings"));
}

TEST_F(SharedCalc, AMacroThatIsNotThereIsReportedAsNotFound)
{
    EXPECT_EQ(failureOf([] { calc->runMacro("spreadsheet.ods!NoSuchMacro"); }),
              SpreadsheetFailure::MacroNotFound);
    EXPECT_EQ(failureOf([] { calc->runMacro("spreadsheet.ods! ChartReadings"); }),
              SpreadsheetFailure::MacroNotFound);
    EXPECT_EQ(failureOf([] { calc->runMacro("other.ods!ChartReadings"); }),
              SpreadsheetFailure::MacroNotFound);
}

TEST_F(SharedCalc, MacrosOfThePersonalWorkbookAreFoundAfterTheCaptureWorkbooks)
{
    calc->runMacro("spreadsheet.ods!markcapture");
    EXPECT_EQ(user->text("spreadsheet.ods", 1, 10), "marked");
    EXPECT_EQ(failureOf([] { calc->runMacro("spreadsheet.ods!NeedsArgument"); }),
              SpreadsheetFailure::MacroFailed);
}

// Row writes come after the macro tests: the shipped macro looks at what the sheet holds.
TEST_F(SharedCalc, ARowWriteGivesTheCellsThatOneWritePerCellGives)
{
    const std::vector<CellValue> values{"0012",
                                        13.5,
                                        "",
                                        "=1+1",
                                        "1e3",
                                        "TRUE",
                                        "'x",
                                        " 7 ",
                                        "43 (C) \xB0\xFF",
                                        std::string_view("a\0b", 3),
                                        -0.25,
                                        "12-07-2026"};
    const int columns = static_cast<int>(values.size());
    for (int column = 1; column <= columns; ++column) {
        if (const auto* text = std::get_if<std::string_view>(&values[column - 1]))
            calc->writeText(20, column, *text);
        else
            calc->writeNumber(20, column, std::get<double>(values[column - 1]));
    }
    calc->writeRow(21, 1, values);
    const auto text = [](int row, int column) { return user->text("spreadsheet.ods", row, column); };
    for (int column = 1; column <= columns; ++column) {
        const auto single = user->cell("spreadsheet.ods", 20, column);
        const auto ranged = user->cell("spreadsheet.ods", 21, column);
        EXPECT_EQ(ranged->getType(), single->getType()) << column;
        EXPECT_EQ(ranged->getFormula(), single->getFormula()) << column;
        EXPECT_EQ(ranged->getValue(), single->getValue()) << column;
        EXPECT_EQ(text(21, column), text(20, column)) << column;
    }
    for (const int column : {1, 4, 5, 6, 7}) {
        EXPECT_EQ(user->cell("spreadsheet.ods", 21, column)->getType(), css::table::CellContentType_TEXT)
            << column;
    }
    EXPECT_EQ(text(21, 4), "=1+1");
    EXPECT_EQ(text(21, 9), "43 (C) \xB0\xFF");
    EXPECT_EQ(user->cell("spreadsheet.ods", 21, 3)->getType(), css::table::CellContentType_EMPTY);
}

TEST_F(SharedCalc, RowsWrittenTogetherTouchNoCellBesideThem)
{
    calc->writeText(30, 3, "kept");
    calc->writeText(32, 1, "kept");
    const std::vector<CellValue> ab{"a", "b"}, cd{"c", "d"}, e{"e"}, f{12.5}, none{};
    const std::vector<RowCells> rows{{30, 1, ab}, {31, 1, cd},   {32, 2, e},
                                     {33, 2, f},  {34, 1, none}, {31, 5, e}};
    calc->writeRows(rows);
    const struct {
        int row, column;
        std::string text;
    } cells[] = {{30, 1, "a"},    {30, 2, "b"}, {30, 3, "kept"}, {31, 1, "c"},    {31, 2, "d"}, {31, 3, ""},
                 {32, 1, "kept"}, {32, 2, "e"}, {32, 3, ""},     {33, 2, "12.5"}, {31, 5, "e"}};
    for (const auto& cell : cells) {
        EXPECT_EQ(user->text("spreadsheet.ods", cell.row, cell.column), cell.text)
            << cell.row << "," << cell.column;
    }
    EXPECT_EQ(user->cell("spreadsheet.ods", 33, 2)->getType(), css::table::CellContentType_VALUE);
}

// Blocks of readings, one column each: equally long neighbours are written together, and
// a shorter block, a gap or a wider row ends the range without touching the cells around it.
TEST_F(SharedCalc, BlocksOfReadingsSideBySideKeepTheirCellsAndTouchNoOther)
{
    calc->writeText(42, 9, "kept");
    calc->writeText(40, 10, "kept");
    const std::vector<CellValue> a{"a"}, b{"b"}, c{1.5}, d{"d"}, wide{"w1", "w2"};
    const std::vector<RowCells> rows{{40, 7, a},  {41, 7, b},  {42, 7, c},  {40, 8, d},    {41, 8, a},
                                     {42, 8, b},  {40, 9, c},  {41, 9, d},  {40, 11, a},   {41, 11, b},
                                     {42, 11, c}, {40, 12, d}, {41, 12, a}, {42, 12, wide}};
    calc->writeRows(rows);
    const struct {
        int row, column;
        std::string text;
    } cells[] = {{40, 7, "a"},  {41, 7, "b"},   {42, 7, "1.5"}, {40, 8, "d"},    {41, 8, "a"},
                 {42, 8, "b"},  {40, 9, "1.5"}, {41, 9, "d"},   {42, 9, "kept"}, {40, 10, "kept"},
                 {41, 10, ""},  {40, 11, "a"},  {41, 11, "b"},  {42, 11, "1.5"}, {40, 12, "d"},
                 {41, 12, "a"}, {42, 12, "w1"}, {42, 13, "w2"}, {41, 13, ""}};
    for (const auto& cell : cells) {
        EXPECT_EQ(user->text("spreadsheet.ods", cell.row, cell.column), cell.text)
            << cell.row << "," << cell.column;
    }
    EXPECT_EQ(user->cell("spreadsheet.ods", 40, 9)->getType(), css::table::CellContentType_VALUE);
    EXPECT_EQ(user->cell("spreadsheet.ods", 41, 9)->getType(), css::table::CellContentType_TEXT);
}

TEST(CalcInstance, AClosedWorkbookAndAKilledInstanceShowAsGone)
{
    Places places;
    CalcSpreadsheet calc(places.options);
    ASSERT_TRUE(tabwright::openCaptureWorkbook(calc, places.workingCopy));
    calc.writeText(1, 1, "before");
    const pid_t group = calc.processGroup();
    {
        UserSide user(calc.pipeName());
        user.close("spreadsheet.ods");
    }
    EXPECT_EQ(failureOf([&] { calc.writeText(2, 1, "after"); }), SpreadsheetFailure::Gone);
    const std::vector<CellValue> row{"after", 2.0};
    EXPECT_EQ(failureOf([&] { calc.writeRow(2, 1, row); }), SpreadsheetFailure::Gone);
    EXPECT_EQ(failureOf([&] { (void)calc.workbookName(); }), SpreadsheetFailure::Gone);

    kill(-group, SIGKILL);
    ASSERT_TRUE(endsWithin(group, 60s));
    EXPECT_EQ(failureOf([&] { calc.writeNumber(1, 1, 1.0); }), SpreadsheetFailure::Gone);
    EXPECT_EQ(failureOf([&] {
                  calc.writeRows(std::vector<RowCells>{{1, 1, row}, {2, 1, row}});
              }),
              SpreadsheetFailure::Gone);
    EXPECT_EQ(failureOf([&] { calc.runMacro("spreadsheet.ods!ChartReadings"); }), SpreadsheetFailure::Gone);
    calc.quit();
    EXPECT_FALSE(tabwright::processGroupRunning(group));
    EXPECT_FALSE(places.lockFilesLeft());
    EXPECT_FALSE(places.profilesLeft());
}

TEST(CalcInstance, QuitsAModifiedWorkbookWithoutHangingAndAStaleLockDoesNotStopTheOpen)
{
    Places places;
    std::ofstream(tabwright::lockFilePath(places.workingCopy)) << "someone,gone,host,01.01.2026 00:00,/tmp;";
    CalcSpreadsheet calc(places.options);
    ASSERT_TRUE(tabwright::openCaptureWorkbook(calc, places.workingCopy));
    calc.writeText(1, 1, "unsaved");
    const pid_t group = calc.processGroup();
    calc.quit();
    EXPECT_FALSE(tabwright::processGroupRunning(group));
    EXPECT_FALSE(places.lockFilesLeft());
    EXPECT_FALSE(places.profilesLeft());
    EXPECT_EQ(failureOf([&] { calc.writeText(1, 1, "x"); }), SpreadsheetFailure::Failed);
}

TEST(CalcInstance, ANewInstanceLeavesTheEarlierOneRunningButEndsOneThatNeverGotAWindow)
{
    Places places;
    CalcSpreadsheet calc(places.options);
    ASSERT_TRUE(tabwright::openCaptureWorkbook(calc, places.workingCopy));
    const pid_t earlier = calc.processGroup();
    EXPECT_FALSE(tabwright::openCaptureWorkbook(calc, places.root.file("work/missing.ods")));
    const pid_t windowless = calc.processGroup();
    EXPECT_NE(windowless, earlier);
    EXPECT_TRUE(tabwright::processGroupRunning(earlier));
    // The next Start ends the instance that never got a window, not the earlier one.
    ASSERT_TRUE(tabwright::openCaptureWorkbook(calc, places.workingCopy));
    EXPECT_FALSE(tabwright::processGroupRunning(windowless));
    const pid_t later = calc.processGroup();
    calc.quit();
    EXPECT_FALSE(tabwright::processGroupRunning(later));
    EXPECT_TRUE(tabwright::processGroupRunning(earlier));
    // The earlier instance belongs to the user now; the test ends it.
    kill(-earlier, SIGKILL);
    EXPECT_TRUE(endsWithin(earlier, 60s));
}

}  // namespace
