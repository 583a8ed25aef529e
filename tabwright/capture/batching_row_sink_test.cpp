#include "tabwright/capture/batching_row_sink.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tabwright/capture/capture_parser.h"
#include "tabwright/capture/spreadsheet_row_sink.h"
#include "tabwright/testing/recording_spreadsheet.h"

namespace {

using tabwright::BatchingRowSink;
using tabwright::CaptureParser;
using tabwright::SpreadsheetFailure;
using testing_support::RecordingSpreadsheet;

class FixedTime : public tabwright::TimeOfDay {
public:
    std::int32_t millisecondsSinceMidnight() override { return 12 * 3600 * 1000; }
};

// Counts the row batches and fails the cell writes of one row, once, half-way through
// a batch: the rows before it are then written, as a real range write may leave them.
class FailingRowSpreadsheet : public RecordingSpreadsheet {
public:
    void writeRows(std::span<const tabwright::RowCells> rows) override
    {
        batches.push_back(rows.size());
        RecordingSpreadsheet::writeRows(rows);
    }
    void writeText(int row, int column, std::string_view text) override
    {
        if (row == failingRow) {
            failingRow = 0;
            throw tabwright::SpreadsheetError(SpreadsheetFailure::Failed, "busy");
        }
        RecordingSpreadsheet::writeText(row, column, text);
    }
    int failingRow = 0;
    std::vector<std::size_t> batches;
};

// Tagged and plain lines, a block separator, a line left unfinished.
const std::string kText =
    "0 0001 :: 12-07-2026 = 57\r\nA\tB\r\n\r\n\r\n\r\n9999\r\n9998\r\n"
    "1 0002 :: x\r\nC\tD\tE\r\nhalf";

std::map<std::pair<int, int>, std::variant<std::string, double>> cellByCell()
{
    FixedTime clock;
    CaptureParser parser(clock);
    RecordingSpreadsheet spreadsheet;
    tabwright::SpreadsheetRowSink sink(spreadsheet);
    parser.append(kText);
    EXPECT_FALSE(parser.processReceivedText(sink));
    return spreadsheet.cells;
}

// A sheet that joins rows gets each slice's rows in one call; one that does not gets each
// row at once. Either way the slices and the cells are the same.
TEST(BatchingRowSink, SlicesWriteTheSameCellsAsOneWritePerCell)
{
    for (const bool joins : {true, false}) {
        SCOPED_TRACE(joins);
        FixedTime clock;
        CaptureParser parser(clock);
        FailingRowSpreadsheet spreadsheet;
        spreadsheet.joins = joins;
        BatchingRowSink sink(spreadsheet, 3);
        parser.append(kText);
        int slices = 0;
        while (parser.lineWaiting()) {
            ASSERT_FALSE(parser.processReceivedText(sink));
            ++slices;
        }
        EXPECT_EQ(spreadsheet.cells, cellByCell());
        EXPECT_EQ(parser.receiveBuffer(), "half");
        // A slice ends after the line that brings it to 3 cells or more.
        EXPECT_EQ(slices, 4);
        if (joins)
            EXPECT_THAT(spreadsheet.batches, testing::ElementsAre(1, 2, 3, 1));
        else
            EXPECT_THAT(spreadsheet.batches, testing::IsEmpty());
        // Fifteen writes, two of them over earlier cells: the block's stamp goes into row 1.
        EXPECT_EQ(sink.cellsWritten(), 15u);
    }
}

// A failed write leaves the text from where the writes stopped counting: the slice's
// start for a sheet that joins rows (a range write may have written some of them), the
// failed row for one that is given each row at once. The retry writes the same cells.
TEST(BatchingRowSink, AFailedWriteIsWrittenAgainSoTheRetryWritesTheSameCells)
{
    for (const bool joins : {true, false}) {
        for (int failingRow : {1, 2, 3, 5}) {
            SCOPED_TRACE(testing::Message() << "joins " << joins << ", row " << failingRow);
            FixedTime clock;
            CaptureParser parser(clock);
            FailingRowSpreadsheet spreadsheet;
            spreadsheet.joins = joins;
            spreadsheet.failingRow = failingRow;
            BatchingRowSink sink(spreadsheet, 1000);
            parser.append(kText);
            ASSERT_TRUE(parser.processReceivedText(sink));
            if (joins) {
                // Nothing of the slice counts as written: the text, row and column are as before.
                EXPECT_EQ(parser.receiveBuffer(), kText);
                EXPECT_EQ(parser.currentRow(), 1);
                EXPECT_EQ(parser.blockColumn(), 1);
                EXPECT_EQ(sink.cellsWritten(), 0u);
            } else {
                EXPECT_EQ(parser.currentRow(), failingRow);
            }

            EXPECT_FALSE(parser.processReceivedText(sink));
            EXPECT_EQ(spreadsheet.cells, cellByCell());
            EXPECT_EQ(parser.receiveBuffer(), "half");
        }
    }
}

TEST(BatchingRowSink, TheUnfinishedLineIsWrittenAsItStandsAndKeptWhenItFails)
{
    FixedTime clock;
    CaptureParser parser(clock);
    FailingRowSpreadsheet spreadsheet;
    BatchingRowSink sink(spreadsheet, 1000);
    parser.append("A\tB\r\nC\tD\r");
    ASSERT_FALSE(parser.processReceivedText(sink));
    spreadsheet.failingRow = 2;
    EXPECT_TRUE(parser.writeUnfinishedLine(sink));
    EXPECT_EQ(parser.receiveBuffer(), "C\tD");
    EXPECT_FALSE(parser.writeUnfinishedLine(sink));
    EXPECT_EQ(std::get<std::string>(spreadsheet.cells.at({2, 2})), "D");
    EXPECT_EQ(parser.receiveBuffer(), "");
    EXPECT_EQ(parser.currentRow(), 3);
}

}  // namespace
