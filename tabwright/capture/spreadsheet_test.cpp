#include "tabwright/capture/spreadsheet.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tabwright/testing/recording_spreadsheet.h"

namespace {

using tabwright::CellValue;
using tabwright::RowCells;
using testing::ElementsAre;

TEST(Spreadsheet, RowsAreWrittenCellByCellInOrderUpToAFailure)
{
    testing_support::RecordingSpreadsheet spreadsheet;
    const std::vector<CellValue> first{"a", 1.5, ""}, second{2.0}, third{"c"};
    spreadsheet.writeRows(std::vector<RowCells>{{2, 3, first}, {3, 3, {}}, {7, 1, second}});
    EXPECT_THAT(spreadsheet.calls,
                ElementsAre("writeText 2 3 a", "writeNumber 2 4 1.5", "writeText 2 5 ", "writeNumber 7 1 2"));
    EXPECT_THAT(spreadsheet.rowWrites, ElementsAre("writeRow 2 3 3", "writeRow 3 3 0", "writeRow 7 1 1"));

    spreadsheet.calls.clear();
    spreadsheet.failCall("writeNumber", tabwright::SpreadsheetFailure::Gone);
    EXPECT_THROW(spreadsheet.writeRows(std::vector<RowCells>{{1, 1, third}, {2, 1, second}, {3, 1, third}}),
                 tabwright::SpreadsheetError);
    EXPECT_THAT(spreadsheet.calls, ElementsAre("writeText 1 1 c", "writeNumber 2 1 2"));

    spreadsheet.calls.clear();
    spreadsheet.failNextCall("writeRow");
    EXPECT_THROW(spreadsheet.writeRow(1, 1, third), tabwright::SpreadsheetError);
    EXPECT_TRUE(spreadsheet.calls.empty()) << "a failed row write writes none of its cells";
}

}  // namespace
