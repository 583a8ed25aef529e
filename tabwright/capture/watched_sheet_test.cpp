#include "tabwright/capture/watched_sheet.h"

#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tabwright/capture/batching_row_sink.h"
#include "tabwright/testing/recording_spreadsheet.h"

namespace {

using testing::ElementsAre;

// Notes each row it is shown as "row column first-cell".
class RowNotes : public tabwright::RowSink {
public:
    void writeRow(int row, int firstColumn, std::span<const tabwright::CellValue> values) override
    {
        const auto* text = std::get_if<std::string_view>(&values.front());
        rows.push_back(std::to_string(row) + " " + std::to_string(firstColumn) + " " +
                       (text ? std::string(*text) : std::to_string(std::get<double>(values.front()))));
    }
    std::vector<std::string> rows;
};

void writeTwoRows(tabwright::CaptureSheet& sheet)
{
    tabwright::BatchingRowSink rows(sheet, 1000);
    const tabwright::CellValue first[] = {std::string_view("a"), std::string_view("b")};
    const tabwright::CellValue second[] = {2.5};
    rows.writeRow(1, 1, first);
    rows.writeRow(2, 3, second);
    rows.flush();
}

TEST(WatchedSheet, TheWatcherSeesEachRowOnceTheSheetTookIt)
{
    testing_support::RecordingSpreadsheet spreadsheet;
    RowNotes watcher;
    tabwright::WatchedSheet sheet(spreadsheet, &watcher);
    writeTwoRows(sheet);
    EXPECT_THAT(watcher.rows, ElementsAre("1 1 a", "2 3 2.500000"));
    EXPECT_THAT(spreadsheet.rowWrites, ElementsAre("writeRow 1 1 2", "writeRow 2 3 1"));
    sheet.writeText(4, 2, "single");
    EXPECT_THAT(watcher.rows.back(), "4 2 single");
}

TEST(WatchedSheet, RowsOfAFailedWriteNeverReachTheWatcher)
{
    testing_support::RecordingSpreadsheet spreadsheet;
    spreadsheet.failNextCall("writeRow");
    RowNotes watcher;
    tabwright::WatchedSheet sheet(spreadsheet, &watcher);
    EXPECT_THROW(writeTwoRows(sheet), tabwright::SpreadsheetError);
    EXPECT_TRUE(watcher.rows.empty());
    // written again, as a run does after the workbook answers, they are seen once
    writeTwoRows(sheet);
    EXPECT_THAT(watcher.rows, ElementsAre("1 1 a", "2 3 2.500000"));
}

TEST(WatchedSheet, WithoutAWatcherItOnlyWrites)
{
    testing_support::RecordingSpreadsheet spreadsheet;
    tabwright::WatchedSheet sheet(spreadsheet, nullptr);
    writeTwoRows(sheet);
    EXPECT_EQ(spreadsheet.rowWrites.size(), 2u);
}

}  // namespace
