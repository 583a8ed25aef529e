#include "tabwright/capture/capture_parser.h"

#include <stdexcept>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tabwright/capture/next_token.h"
#include "tabwright/capture/spreadsheet_row_sink.h"
#include "tabwright/testing/recording_spreadsheet.h"

namespace {

using tabwright::SpreadsheetFailure;
using testing::ElementsAre;
using testing::ElementsAreArray;
using testing_support::RecordingSpreadsheet;

const std::string kSeparator = "\r\n\r\n\r\n";

class FixedTimeOfDay : public tabwright::TimeOfDay {
public:
    std::int32_t millisecondsSinceMidnight() override { return milliseconds; }
    std::int32_t milliseconds = (12 * 3600 + 30 * 60) * 1000;  // 12:30, 12.5 hours
};

// A capture run from Start on, writing into a recording spreadsheet.
struct CaptureRun {
    FixedTimeOfDay clock;
    tabwright::CaptureParser parser{clock};
    RecordingSpreadsheet spreadsheet;
    tabwright::SpreadsheetRowSink sink{spreadsheet};

    CaptureRun() { parser.startRun(); }
    // One tick: the text read is appended and parsed.
    std::optional<tabwright::SpreadsheetError> tick(std::string_view text)
    {
        parser.append(text);
        return parser.processReceivedText(sink);
    }
    void ticks(const std::vector<std::string>& reads)
    {
        for (const std::string& text : reads)
            EXPECT_FALSE(tick(text).has_value()) << testing::PrintToString(text);
    }
};

TEST(NextToken, CutsSpaceSeparatedTokensKeepingTabs)
{
    const struct {
        std::string line;
        std::vector<std::string> tokens;
    } cases[] = {
        {"", {}},
        {"   ", {}},
        {"a", {"a"}},
        {"  a   b  ", {"a", "b"}},
        {"a\tb c", {"a\tb", "c"}},
        {"\t a", {"\t", "a"}},
        {"0 0000 :: 12-07-2026", {"0", "0000", "::", "12-07-2026"}},
    };
    for (const auto& c : cases) {
        std::string_view line = c.line;
        std::string_view token;
        std::vector<std::string> tokens;
        while (tabwright::NextToken(line, token))
            tokens.emplace_back(token);
        EXPECT_EQ(tokens, c.tokens) << testing::PrintToString(c.line);
        EXPECT_TRUE(token.empty() && line.empty());
    }
}

TEST(HoursSinceMidnight, RoundsToTheSecondHalvesToEven)
{
    const struct {
        std::int32_t milliseconds;
        double hours;
    } cases[] = {
        {(13 * 3600 + 30 * 60) * 1000, 13.5},
        {499, 0},
        {500, 0},
        {1500, 2 / 3600.0},
        {2500, 2 / 3600.0},
        {2501, 3 / 3600.0},
        {86'399'500, 24},
    };
    for (const auto& c : cases) {
        FixedTimeOfDay clock;
        clock.milliseconds = c.milliseconds;
        EXPECT_DOUBLE_EQ(tabwright::HoursSinceMidnight(clock), c.hours) << c.milliseconds;
    }
}

TEST(CaptureParser, TaggedK7rxLineFillsItsRowFromColumnOne)
{
    CaptureRun run;
    run.ticks({"1\r\n2\r\n3\r\n4\r\n"});  // the K7RX line goes to row 5
    run.spreadsheet.calls.clear();
    run.spreadsheet.rowWrites.clear();
    run.ticks({"0 0000 :: 12-07-2026 05:10:26 = 57 (RAW)  43 (C)\r\n"});
    EXPECT_THAT(run.spreadsheet.rowWrites, ElementsAre("writeRow 5 1 8"));
    EXPECT_THAT(run.spreadsheet.calls,
                ElementsAre("writeText 5 1 0", "writeText 5 2 0000", "writeText 5 3 12-07-2026",
                            "writeText 5 4 05:10:26", "writeText 5 5 57", "writeText 5 6 (RAW)",
                            "writeText 5 7 43", "writeText 5 8 (C)"));
    EXPECT_EQ(run.parser.currentRow(), 6);
}

TEST(CaptureParser, Vq480BlocksGoToNewColumnsUnderATimeStamp)
{
    CaptureRun run;
    std::vector<std::string> reads{kSeparator};
    reads.insert(reads.end(), 16, "9999\r\n");
    reads.push_back(kSeparator);
    reads.push_back("9999\r\n");
    run.ticks(reads);

    std::vector<std::string> expected{"writeNumber 1 2 12.5"};
    for (int row = 2; row <= 17; ++row)
        expected.push_back("writeText " + std::to_string(row) + " 2 9999");
    expected.push_back("writeNumber 1 3 12.5");
    expected.push_back("writeText 2 3 9999");
    EXPECT_THAT(run.spreadsheet.calls, ElementsAreArray(expected));
    EXPECT_EQ(run.parser.blockColumn(), 3);
    EXPECT_EQ(run.parser.currentRow(), 3);
}

// Each case is a run from Start: the reads, one per tick, and what they leave.
struct Case {
    const char* name;
    std::vector<std::string> reads;
    std::vector<std::string> calls;
    int currentRow;
    int blockColumn;
    std::string rest;
};

TEST(CaptureParser, PlacesEachKindOfLine)
{
    const Case cases[] = {
        {"line split over two reads", {"A\tB\r", "\nC"}, {"writeText 1 1 A", "writeText 1 2 B"}, 2, 1, "C"},
        {"tagged without spaces", {"A::B\r\n"}, {"writeText 1 1 A::B"}, 2, 1, ""},
        {"tagged keeps TABs in tokens",
         {"a\tb :: c\t\r\n"},
         {"writeText 1 1 a\tb", "writeText 1 2 c\t"},
         2,
         1,
         ""},
        {"tagged with no token left", {"::  = \r\n"}, {}, 2, 1, ""},
        {"equals sign without :: is plain", {" = \r\n"}, {"writeText 1 1  = "}, 2, 1, ""},
        {"lone CR and LF are text", {"a\rb\nc\r\n"}, {"writeText 1 1 a\rb\nc"}, 2, 1, ""},
        {"empty fields",
         {"\tA\t\t\r\n\r\n"},
         {"writeText 1 1 ", "writeText 1 2 A", "writeText 1 3 ", "writeText 1 4 ", "writeText 2 1 "},
         3,
         1,
         ""},
        {"four CR LF after a line",
         {"A\r\n" + kSeparator + "\r\nB\r\n"},
         {"writeText 1 1 A", "writeNumber 1 2 12.5", "writeText 2 2 ", "writeText 3 2 B"},
         4,
         2,
         ""},
        {"separator after a TAB closes the line and the block",
         {"A\t\r\n\r\n\r\nB\r\n"},
         {"writeText 1 1 A", "writeNumber 1 2 12.5", "writeText 2 2 B"},
         3,
         2,
         ""},
        {"separator split across reads is three empty lines",
         {"\r\n\r\n", "\r\n"},
         {"writeText 1 1 ", "writeText 2 1 ", "writeText 3 1 "},
         4,
         1,
         ""},
        {"tagged and plain lines share rows",
         {"x :: y\r\n1\t2\r\n"},
         {"writeText 1 1 x", "writeText 1 2 y", "writeText 2 1 1", "writeText 2 2 2"},
         3,
         1,
         ""},
        {"unfinished line waits", {"A\tB", "\r"}, {}, 1, 1, "A\tB\r"},
    };
    for (const Case& c : cases) {
        CaptureRun run;
        run.ticks(c.reads);
        EXPECT_THAT(run.spreadsheet.calls, ElementsAreArray(c.calls)) << c.name;
        EXPECT_EQ(run.parser.currentRow(), c.currentRow) << c.name;
        EXPECT_EQ(run.parser.blockColumn(), c.blockColumn) << c.name;
        EXPECT_EQ(run.parser.receiveBuffer(), c.rest) << c.name;
    }
}

TEST(CaptureParser, EveryByteIsOneCharacterOfItsCell)
{
    CaptureRun run;
    const std::string field("\0\x7f\x80\xe9\xff", 5);
    run.ticks({field + "\t" + field + "\r\n"});
    EXPECT_EQ(run.spreadsheet.cells.at({1, 1}), (std::variant<std::string, double>(field)));
    EXPECT_EQ(run.spreadsheet.cells.at({1, 2}), (std::variant<std::string, double>(field)));
}

TEST(CaptureParser, PlainLineStopsAtColumn256)
{
    CaptureRun run;
    std::string line = "f1";
    for (int field = 2; field <= 300; ++field)
        line += "\tf" + std::to_string(field);
    run.ticks({line + "\r\n"});
    EXPECT_EQ(run.spreadsheet.cells.size(), 256u);
    EXPECT_EQ(run.spreadsheet.calls.back(), "writeText 1 256 f256");
    // A tagged line has no such limit.
    CaptureRun tagged;
    std::string tokens = "::";
    for (int token = 1; token <= 300; ++token)
        tokens += " t" + std::to_string(token);
    tagged.ticks({tokens + "\r\n"});
    EXPECT_EQ(tagged.spreadsheet.calls.back(), "writeText 1 300 t300");
}

// Counts the row writes a sink receives.
struct RowCounter : tabwright::RowSink {
    std::vector<std::pair<int, int>> rows;  // (row, first column)
    std::vector<std::size_t> sizes;
    void writeRow(int row, int firstColumn, std::span<const tabwright::CellValue> values) override
    {
        rows.emplace_back(row, firstColumn);
        sizes.push_back(values.size());
    }
};

TEST(CaptureParser, EachLineIsOneRowWriteAndTheStampItsOwn)
{
    FixedTimeOfDay clock;
    tabwright::CaptureParser parser(clock);
    parser.startRun();
    parser.append("a\tb\tc\r\nx :: y\r\nd\t" + kSeparator);
    RowCounter sink;
    EXPECT_FALSE(parser.processReceivedText(sink).has_value());
    EXPECT_THAT(sink.rows, ElementsAre(std::pair(1, 1), std::pair(2, 1), std::pair(3, 1), std::pair(1, 2)));
    EXPECT_THAT(sink.sizes, ElementsAre(3, 2, 1, 1));
}

// A write that fails keeps its line for the next tick; the retry gives the cells
// of a run in which nothing failed.
TEST(CaptureParser, FailedWriteKeepsItsLineAndTheRetryWritesTheSameCells)
{
    const std::string text = "a\tb\r\nc\t" + kSeparator + "d\r\n" + kSeparator + "e\r\nf";
    CaptureRun clean;
    clean.ticks({text});

    const struct {
        std::string operation;
        SpreadsheetFailure failure;
        int keptFromLine;  // the line whose write failed, counted from 0
    } cases[] = {
        {"writeText", SpreadsheetFailure::Gone, 0},
        {"writeNumber", SpreadsheetFailure::Failed, 1},
    };
    for (const auto& c : cases) {
        CaptureRun run;
        run.spreadsheet.failNextCall(c.operation, c.failure);
        const auto failure = run.tick(text);
        ASSERT_TRUE(failure.has_value()) << c.operation;
        EXPECT_EQ(failure->failure(), c.failure);
        const std::size_t lineStart = c.keptFromLine == 0 ? 0 : text.find("c\t");
        EXPECT_EQ(run.parser.receiveBuffer(), text.substr(lineStart)) << c.operation;
        EXPECT_EQ(run.parser.currentRow(), 1 + c.keptFromLine) << c.operation;
        EXPECT_EQ(run.parser.blockColumn(), 1) << c.operation;

        EXPECT_FALSE(run.tick("").has_value());
        EXPECT_EQ(run.spreadsheet.cells, clean.spreadsheet.cells) << c.operation;
        EXPECT_EQ(run.parser.receiveBuffer(), "f");
        EXPECT_EQ(run.parser.currentRow(), clean.parser.currentRow());
        EXPECT_EQ(run.parser.blockColumn(), 3);
    }
}

TEST(CaptureParser, AnotherExceptionGoesOnUpLeavingTheLineForLater)
{
    struct ThrowingOnSecondRow : RowCounter {
        void writeRow(int row, int firstColumn, std::span<const tabwright::CellValue> values) override
        {
            if (rows.size() == 1)
                throw std::runtime_error("lost");
            RowCounter::writeRow(row, firstColumn, values);
        }
    } sink;
    FixedTimeOfDay clock;
    tabwright::CaptureParser parser(clock);
    parser.startRun();
    parser.append("a\r\n" + kSeparator + "b\r\n");
    EXPECT_THROW(parser.processReceivedText(sink), std::runtime_error);
    EXPECT_EQ(parser.receiveBuffer(), kSeparator + "b\r\n");
    EXPECT_EQ(parser.currentRow(), 2);
    EXPECT_EQ(parser.blockColumn(), 1);
}

TEST(CaptureParser, StopDropsTheUnfinishedLineAndStartPlacesTheNextRunAtTheTop)
{
    CaptureRun run;
    run.ticks({kSeparator + "A\r\nB"});
    run.parser.countReceived(12);
    run.parser.stopRun();
    EXPECT_EQ(run.parser.receiveBuffer(), "");
    EXPECT_EQ(run.parser.bytesReceived(), 0);
    run.parser.startRun();
    run.spreadsheet.calls.clear();
    run.ticks({"\r", "\nC\r\n"});
    EXPECT_THAT(run.spreadsheet.calls, ElementsAre("writeText 1 1 ", "writeText 2 1 C"));
}

}  // namespace

namespace {

// A tagged line of `tokens` tokens after its tag.
std::string taggedLine(int tokens)
{
    std::string line = "tag ::";
    for (int token = 1; token <= tokens; ++token) {
        line += ' ';
        line += std::to_string(token);
    }
    return line + "\r\n";
}

// A plain line of `fields` TAB-separated fields.
std::string plainLine(int fields)
{
    std::string line = "f1";
    for (int field = 2; field <= fields; ++field)
        line += "\tf" + std::to_string(field);
    return line + "\r\n";
}

// `blocks` VQ-480 blocks of `readings` lines each, the separator first.
std::string vq480Blocks(int blocks, int readings)
{
    std::string text;
    for (int block = 0; block < blocks; ++block) {
        text += kSeparator;
        for (int reading = 0; reading < readings; ++reading)
            text += "9999\r\n";
    }
    return text;
}

}  // namespace

TEST(CaptureParser, EachFormatsLastColumnAndCellLengthCutWhatTheSheetCannotHoldAndCountIt)
{
    const std::string longText(40'000, 'x');
    const struct {
        const char* name;
        tabwright::SheetLimits limits;
        std::string text;
        std::size_t cellsWritten;
        std::int64_t linesCut;
        std::int64_t cellsLeftOut;
        std::int64_t cellsShortened;
        std::size_t longestCell;
    } cases[] = {
        {".xls: a tagged line of 301 cells keeps 256", tabwright::kXlsSheet, taggedLine(300), 256, 1, 45, 0,
         3},
        {".ods: the same line is whole", tabwright::kOdsSheet, taggedLine(300), 301, 0, 0, 0, 3},
        {".xlsx: the 16,385th cell is left out", tabwright::kXlsxSheet, taggedLine(16'384), 16'384, 1, 1, 0,
         5},
        {".xlsx: a text of 40,000 characters keeps 32,767", tabwright::kXlsxSheet, longText + "\r\n", 1, 0, 0,
         1, 32'767},
        {".xls: the same", tabwright::kXlsSheet, "a :: " + longText + "\r\n", 2, 0, 0, 1, 32'767},
        {".ods and .csv keep it whole", tabwright::kOdsSheet, longText + "\r\n", 1, 0, 0, 0, 40'000},
        {".csv", tabwright::kCsvSheet, longText + "\r\n", 1, 0, 0, 0, 40'000},
        // 300 blocks of 5 readings: blocks 256 to 300 (columns 257 to 301) find no column,
        // each losing its stamp and its 5 readings: 45 x 6 lines of one cell.
        {".xls: every line of a block past the last column counts", tabwright::kXlsSheet, vq480Blocks(300, 5),
         255 * 6, 45 * 6, 45 * 6, 0, 4},
    };
    for (const auto& c : cases) {
        CaptureRun run;
        run.parser.setSheetLimits(c.limits);
        run.ticks({c.text});
        const tabwright::SheetTally& tally = run.parser.tally();
        EXPECT_EQ(run.spreadsheet.cells.size(), c.cellsWritten) << c.name;
        EXPECT_EQ(tally.linesCut, c.linesCut) << c.name;
        EXPECT_EQ(tally.cellsLeftOut, c.cellsLeftOut) << c.name;
        EXPECT_EQ(tally.cellsShortened, c.cellsShortened) << c.name;
        EXPECT_EQ(tally.sheetHoldsEveryCell(), c.linesCut == 0 && c.cellsShortened == 0) << c.name;
        std::size_t longest = 0;
        for (const auto& [place, value] : run.spreadsheet.cells)
            if (const auto* text = std::get_if<std::string>(&value))
                longest = std::max(longest, text->size());
        EXPECT_EQ(longest, c.longestCell) << c.name;
        for (const auto& [place, value] : run.spreadsheet.cells)
            EXPECT_LE(place.second, c.limits.columns) << c.name;
    }
}

TEST(CaptureParser, ALineThatWouldPassWhatTheWorkbookSavesIsRefusedWithItsReasonAndKept)
{
    const std::string line = "0 0001 :: 12-08-2026 05:00:01 = 41 (RAW)  22 (C)\r\n";
    const std::vector<tabwright::CellValue> cells = {
        std::string_view("0"),        std::string_view("0001"), std::string_view("12-08-2026"),
        std::string_view("05:00:01"), std::string_view("41"),   std::string_view("(RAW)"),
        std::string_view("22"),       std::string_view("(C)")};
    // What Calc stores for this row, by its own file: the estimate keeps above it.
    constexpr std::uint64_t kCalcStores = 909;
    const std::uint64_t perLine = tabwright::storedBytesOf(cells);
    EXPECT_GE(perLine, kCalcStores);
    EXPECT_LE(perLine, kCalcStores * 112 / 100);

    tabwright::SheetLimits limits = tabwright::kOdsSheet;
    limits.workbookBytes = 3 * perLine + perLine / 2;
    CaptureRun run;
    run.parser.setSheetLimits(limits);
    const auto failure = run.tick(line + line + line + line + line);
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->failure(), tabwright::SpreadsheetFailure::Full);
    EXPECT_THAT(failure->what(), testing::StartsWith("The workbook is full: a .ods workbook saves at most "));
    EXPECT_THAT(failure->what(), testing::HasSubstr("row 4 would pass it. The journal keeps every line"));
    EXPECT_EQ(run.parser.rowsWritten(), 3);
    EXPECT_EQ(run.parser.tally().storedBytes, 3 * perLine);
    // The refused lines wait: a later slice is refused again, and nothing is lost.
    EXPECT_TRUE(run.tick("").has_value());
    EXPECT_EQ(run.parser.receiveBuffer(), line + line);
}

TEST(CaptureParser, CountsTheRowsTheSheetHoldsAndThePlainFieldsLeftOutPastColumn256)
{
    const struct {
        const char* name;
        std::string text;
        int rows;
        std::int64_t linesTrimmed;
        std::int64_t fieldsLeftOut;
        std::optional<int> firstTrimmedRow;
    } cases[] = {
        {"256 fields are whole", plainLine(256), 1, 0, 0, std::nullopt},
        {"300 fields lose 44", "a\r\n" + plainLine(300), 2, 1, 44, 2},
        {"a TAB at the end is one more empty field",
         plainLine(256).insert(plainLine(256).size() - 2, "\t") + plainLine(300), 2, 2, 45, 1},
        {"a block's rows, not the row it reached", vq480Blocks(3, 5), 6, 0, 0, std::nullopt},
        {"a line of empty fields holds nothing", "x\r\n\t\t\r\n", 1, 0, 0, std::nullopt},
    };
    for (const auto& c : cases) {
        CaptureRun run;
        run.ticks({c.text});
        const tabwright::SheetTally& tally = run.parser.tally();
        EXPECT_EQ(run.parser.rowsWritten(), c.rows) << c.name;
        EXPECT_EQ(tally.plainLinesTrimmed, c.linesTrimmed) << c.name;
        EXPECT_EQ(tally.fieldsLeftOut, c.fieldsLeftOut) << c.name;
        EXPECT_EQ(tally.firstTrimmedRow, c.firstTrimmedRow) << c.name;
        // Fields past column 256 are left out by rule: the sheet holds every cell it was given.
        EXPECT_TRUE(tally.sheetHoldsEveryCell()) << c.name;
    }
}

TEST(CaptureParser, AFailedSliceTakesBackWhatItsLinesCounted)
{
    CaptureRun run;
    run.parser.setSheetLimits(tabwright::kXlsSheet);
    run.spreadsheet.failNextCall("writeRow");
    EXPECT_TRUE(run.tick(taggedLine(300) + plainLine(300)).has_value());
    EXPECT_EQ(run.parser.tally().linesCut, 0);
    EXPECT_EQ(run.parser.tally().fieldsLeftOut, 0);
    run.ticks({""});
    EXPECT_EQ(run.parser.tally().linesCut, 1);
    EXPECT_EQ(run.parser.tally().cellsLeftOut, 45);
    EXPECT_EQ(run.parser.tally().fieldsLeftOut, 44);
    // A new run counts from nothing, with the limits it was given.
    run.parser.startRun();
    EXPECT_EQ(run.parser.tally().linesCut, 0);
    EXPECT_EQ(run.parser.limits().columns, 256);
}
