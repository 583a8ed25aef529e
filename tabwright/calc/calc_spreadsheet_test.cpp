// Runs against a real headless Calc. Tests that leave the shared instance usable share one;
// the others start their own. Every test ends every process it starts.
#include "tabwright/calc/calc_spreadsheet.h"

#include <signal.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <limits>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/sheet/XViewPane.hpp>
#include <com/sun/star/table/CellContentType.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XTableChartsSupplier.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/view/XSelectionSupplier.hpp>

#include "tabwright/calc/office_process.h"
#include "tabwright/calc/office_profile.h"
#include "tabwright/calc/uno_link.h"
#include "tabwright/calc/workbook_maker.h"
#include "tabwright/capture/capture_workbook.h"
#include "tabwright/files/workbook_files.h"
#include "tabwright/testing/calc_user_side.h"
#include "testing/event_loop.h"
#include "testing/temp_folder.h"
#include "testing/virtual_display.h"

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
    std::string workingCopy =
        tabwright::prepareWorkingCopy({{PROJECT_DATA_DIR}, root.file("work")}, "spreadsheet");
    tabwright::CalcOptions options{root.file("startup"), root.file("instances"),
                                   CalcOptions::Display::Headless};

    Places()
    {
        fs::create_directories(root.file("startup"));
        fs::create_directories(root.file("instances"));
    }
    // The instances a test killed leave their pipe sockets in /tmp; they go with the profiles.
    ~Places() { tabwright::removeProfilesOfEndedInstances(root.file("instances")); }
    Places(const Places&) = delete;
    Places& operator=(const Places&) = delete;
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

// Start's workbook step on `calc`; when it fails, the reason the user would be told.
testing::AssertionResult opens(CalcSpreadsheet& calc, const std::string& workingCopy)
{
    const tabwright::WorkbookOpening opening = tabwright::openCaptureWorkbook(calc, workingCopy);
    if (opening)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "the capture workbook did not open: " << opening.reason;
}

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

TEST_F(SharedCalc, TheShippedMacroChartsTheFirstChangingNumbersAndReplacesItsChart)
{
    for (int row = 1; row <= 6; ++row) {
        calc->writeText(row, 4, "0");                        // constant: not charted
        calc->writeText(row, 5, std::to_string(row + 100));  // an index: not charted
        calc->writeText(row, 6, std::to_string(row * row));  // the readings
        calc->writeText(row, 7, "(RAW)");
    }
    calc->runMacro("spreadsheet.ods!ChartReadings");
    EXPECT_TRUE(user->hasChart("spreadsheet.ods", "Readings"));
    EXPECT_EQ(user->chartTitle("spreadsheet.ods", "Readings"), "Column F");
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

TEST_F(SharedCalc, RowsPastTheSheetsLastRowGoOnInANewSheetOfTheWorkbook)
{
    const std::vector<CellValue> last{"last"}, next{"next"}, third{"third"};
    calc->writeRows(std::vector<RowCells>{{1'048'576, 1, last}, {1'048'577, 1, next}});
    calc->writeRow(2 * 1'048'576 + 2, 1, third);
    EXPECT_EQ(user->text("spreadsheet.ods", 1'048'576, 1), "last");
    const auto sheets =
        Reference<css::sheet::XSpreadsheetDocument>(user->document("spreadsheet.ods"), UNO_QUERY_THROW)
            ->getSheets();
    const auto cellText = [&](const char* sheet, int row) {
        const Reference<css::sheet::XSpreadsheet> found(
            sheets->getByName(tabwright::uno_link::fromText(sheet)), UNO_QUERY_THROW);
        return tabwright::uno_link::toText(
            Reference<css::text::XText>(found->getCellByPosition(0, row - 1), UNO_QUERY_THROW)->getString());
    };
    EXPECT_EQ(cellText("Capture (2)", 1), "next");
    EXPECT_EQ(cellText("Capture (3)", 2), "third");
    // The shared workbook goes back to its one sheet for the tests after this one.
    sheets->removeByName(tabwright::uno_link::fromText("Capture (2)"));
    sheets->removeByName(tabwright::uno_link::fromText("Capture (3)"));
}

// A small file system that fills up; only root can make one.
class FullDisk {
public:
    explicit FullDisk(const std::string& folder) : folder_(folder)
    {
        fs::create_directories(folder);
        mounted_ = std::system(("mount -t tmpfs -o size=64k tmpfs " + folder + " 2>/dev/null").c_str()) == 0;
    }
    ~FullDisk()
    {
        if (mounted_ && std::system(("umount " + folder_).c_str()) != 0)
            ADD_FAILURE() << "the small file system stays mounted on " << folder_;
    }
    bool mounted() const { return mounted_; }

private:
    std::string folder_;
    bool mounted_ = false;
};

TEST_F(SharedCalc, ASaveTheDiskCannotHoldLeavesTheEarlierFileAndNoPartOfTheNewOne)
{
    const FullDisk disk(places->root.file("full"));
    if (!disk.mounted())
        GTEST_SKIP() << "making a small file system needs root";
    // Enough cells that do not pack well for a workbook larger than 64 KiB.
    std::vector<std::string> texts;
    std::uint64_t random = 88172645463325252u;
    for (int row = 0; row < 20000; ++row) {
        random ^= random << 13;
        random ^= random >> 7;
        random ^= random << 17;
        texts.push_back(std::to_string(random));
    }
    std::vector<std::vector<CellValue>> values(texts.size());
    std::vector<RowCells> rows;
    for (std::size_t row = 0; row < texts.size(); ++row) {
        values[row] = {texts[row]};
        rows.push_back({static_cast<int>(row) + 100, 1, values[row]});
    }
    calc->writeRows(rows);
    for (const char* name : {"run.ods", "run.xlsx", "run.xls"}) {
        const std::string target = places->root.file("full/") + name;
        std::ofstream(target) << "earlier";
        EXPECT_EQ(failureOf([&] { calc->saveWorkbookAs(target); }), SpreadsheetFailure::Failed) << name;
        std::ifstream in(target);
        std::string kept((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(kept, "earlier") << name;
        fs::remove(target);
        EXPECT_TRUE(fs::is_empty(places->root.file("full"))) << name;
    }
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

TEST(CalcInstance, AClosedWorkbookShowsAsGoneAndAKilledInstanceAsEnded)
{
    Places places;
    CalcSpreadsheet calc(places.options);
    ASSERT_TRUE(opens(calc, places.workingCopy));
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

    // Killed, the instance has ended: not a window the user closed.
    kill(-group, SIGKILL);
    ASSERT_TRUE(endsWithin(group, 60s));
    EXPECT_EQ(failureOf([&] { calc.writeNumber(1, 1, 1.0); }), SpreadsheetFailure::Ended);
    EXPECT_EQ(failureOf([&] {
                  calc.writeRows(std::vector<RowCells>{{1, 1, row}, {2, 1, row}});
              }),
              SpreadsheetFailure::Ended);
    EXPECT_EQ(failureOf([&] { calc.runMacro("spreadsheet.ods!ChartReadings"); }), SpreadsheetFailure::Ended);
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
    ASSERT_TRUE(opens(calc, places.workingCopy));
    calc.writeText(1, 1, "unsaved");
    const pid_t group = calc.processGroup();
    calc.quit();
    EXPECT_FALSE(tabwright::processGroupRunning(group));
    EXPECT_FALSE(places.lockFilesLeft());
    EXPECT_FALSE(places.profilesLeft());
    EXPECT_EQ(failureOf([&] { calc.writeText(1, 1, "x"); }), SpreadsheetFailure::Failed);
}

TEST(CalcInstance, TheShippedMacroChangesNoCapturedCellInAMixedRun)
{
    // K7RX lines with a zero-padded index, and VQ-480 blocks whose "9999" falls in the
    // same column: the index column changes but holds no readings.
    const std::vector<std::vector<std::string>> rows{
        {"0", "0040", "12-08-2026", "05:10:26", "57", "(RAW)", "43", "(C)"}, {"", "9999"},
        {"0", "0041", "12-08-2026", "05:10:27", "61", "(RAW)", "44", "(C)"}, {"", "9999"},
        {"0", "0042", "12-08-2026", "05:10:28", "55", "(RAW)", "43", "(C)"},
    };
    Places places;
    CalcSpreadsheet calc(places.options);
    ASSERT_TRUE(opens(calc, places.workingCopy));
    for (std::size_t row = 0; row < rows.size(); ++row)
        for (std::size_t column = 0; column < rows[row].size(); ++column)
            if (!rows[row][column].empty())
                calc.writeText(static_cast<int>(row + 1), static_cast<int>(column + 1), rows[row][column]);
    calc.runMacro("spreadsheet.ods!ChartReadings");
    {
        UserSide user(calc.pipeName());
        EXPECT_EQ(user.chartTitle("spreadsheet.ods", "Readings"), "Column E");
        EXPECT_FALSE(user.sheetVisible("spreadsheet.ods", "ChartData"));
        for (std::size_t row = 0; row < rows.size(); ++row)
            for (std::size_t column = 0; column < rows[row].size(); ++column) {
                const auto cell =
                    user.cell("spreadsheet.ods", static_cast<int>(row + 1), static_cast<int>(column + 1));
                if (rows[row][column].empty())
                    continue;
                EXPECT_EQ(cell->getType(), css::table::CellContentType_TEXT) << rows[row][column];
                EXPECT_EQ(
                    user.text("spreadsheet.ods", static_cast<int>(row + 1), static_cast<int>(column + 1)),
                    rows[row][column]);
            }
    }
    calc.quit();
}

// A visible Calc on a private display, its capture workbook open.
class VisibleCalc : public testing::Test {
protected:
    // A visible office failed its first open once in many runs under the sanitizers, within
    // a second and for a reason not seen since; what these tests are about comes after the
    // open, so a second Start is allowed, as the user would press it, and the first reason
    // is printed.
    void SetUp() override
    {
        const testing::AssertionResult first = opens(calc, places.workingCopy);
        if (first)
            return;
        std::cerr << first.message() << "; Start again\n";
        ASSERT_TRUE(opens(calc, places.workingCopy));
    }

    static tabwright::CalcOptions visible(tabwright::CalcOptions options)
    {
        options.display = tabwright::CalcOptions::Display::Visible;
        return options;
    }

    testing_support::VirtualDisplay display;
    Places places;
    CalcSpreadsheet calc{visible(places.options)};
};

TEST_F(VisibleCalc, QuittingWhileCalcAsksToSaveReturnsAndLeavesCalcAsking)
{
    calc.writeText(1, 1, "unsaved");
    const pid_t group = calc.processGroup();
    calc.quit();
    // Calc is neither killed nor waited for: it asks the user, who decides about the edits.
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (!display.hasWindowTitled("Save Document?") && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(200ms);
    EXPECT_TRUE(display.hasWindowTitled("Save Document?"));
    EXPECT_TRUE(tabwright::processGroupRunning(group));
    EXPECT_EQ(calc.processGroup(), -1) << "the instance is the user's now";
    EXPECT_TRUE(places.profilesLeft());
    kill(-group, SIGKILL);
    EXPECT_TRUE(endsWithin(group, 60s));
    // Its profile goes when it ends, not at some later start.
    EXPECT_TRUE(testing_support::runEventsUntil([&] { return !places.profilesLeft(); }, 30s));
}

// The capture workbook's window as the user sees it: where its cursor is and which rows it
// shows (rows from 1).
class UserView {
public:
    UserView(UserSide& user, const std::string& fileName)
        : view_(user.document(fileName)->getCurrentController(), UNO_QUERY_THROW)
    {
    }
    int cursorRow() const
    {
        const Reference<css::sheet::XCellRangeAddressable> cell(
            Reference<css::view::XSelectionSupplier>(view_, UNO_QUERY_THROW)->getSelection(),
            UNO_QUERY_THROW);
        return cell->getRangeAddress().StartRow + 1;
    }
    bool shows(int row) const
    {
        const auto visible = Reference<css::sheet::XViewPane>(view_, UNO_QUERY_THROW)->getVisibleRange();
        return visible.StartRow + 1 <= row && row <= visible.EndRow + 1;
    }
    void scrollToTop() { Reference<css::sheet::XViewPane>(view_, UNO_QUERY_THROW)->setFirstVisibleRow(0); }
    void select(int row)
    {
        Reference<css::view::XSelectionSupplier>(view_, UNO_QUERY_THROW)
            ->select(css::uno::Any(view_->getActiveSheet()->getCellByPosition(0, row - 1)));
    }

private:
    Reference<css::sheet::XSpreadsheetView> view_;
};

TEST_F(VisibleCalc, TheWindowFollowsTheNewestRowUntilTheUserLooksElsewhere)
{
    int written = 0;
    const auto writeTenRows = [&] {
        const std::vector<CellValue> cells{"0", 57.0};
        std::vector<RowCells> rows;
        for (int row = written + 1; row <= written + 10; ++row)
            rows.push_back({row, 1, cells});
        calc.writeRows(rows);
        written += 10;
    };
    UserSide user(calc.pipeName());
    UserView view(user, "spreadsheet.ods");
    for (int batch = 0; batch < 10; ++batch)
        writeTenRows();
    EXPECT_EQ(view.cursorRow(), 100);
    EXPECT_TRUE(view.shows(100));

    // Scrolled away: the view stays where the user put it.
    view.scrollToTop();
    writeTenRows();
    EXPECT_EQ(view.cursorRow(), 100);
    EXPECT_TRUE(view.shows(1));
    EXPECT_FALSE(view.shows(110));

    // Back on the last row: followed again.
    view.select(110);
    writeTenRows();
    EXPECT_EQ(view.cursorRow(), 120);
    EXPECT_TRUE(view.shows(120));

    // Selected elsewhere in view: left alone.
    view.select(115);
    writeTenRows();
    EXPECT_EQ(view.cursorRow(), 115);

    // Turned off: left alone on the last row too.
    view.select(130);
    calc.followNewestRow(false);
    writeTenRows();
    EXPECT_EQ(view.cursorRow(), 130);
    EXPECT_FALSE(view.shows(140));
    calc.followNewestRow(true);
    view.select(140);
    writeTenRows();
    EXPECT_EQ(view.cursorRow(), 150);
    EXPECT_TRUE(view.shows(150));

    const pid_t group = calc.processGroup();
    kill(-group, SIGKILL);
    EXPECT_TRUE(endsWithin(group, 60s));
}

TEST(CalcInstance, ANewInstanceLeavesTheEarlierOneRunningButEndsOneThatNeverGotAWindow)
{
    Places places;
    CalcSpreadsheet calc(places.options);
    ASSERT_TRUE(opens(calc, places.workingCopy));
    const pid_t earlier = calc.processGroup();
    EXPECT_FALSE(tabwright::openCaptureWorkbook(calc, places.root.file("work/missing.ods")));
    const pid_t windowless = calc.processGroup();
    EXPECT_NE(windowless, earlier);
    EXPECT_TRUE(tabwright::processGroupRunning(earlier));
    // The next Start ends the instance that never got a window, not the earlier one.
    ASSERT_TRUE(opens(calc, places.workingCopy));
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
