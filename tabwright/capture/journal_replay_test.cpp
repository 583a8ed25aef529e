#include "tabwright/capture/journal_replay.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <variant>

#include "tabwright/capture/capture_run.h"
#include "tabwright/testing/recording_spreadsheet.h"

namespace tabwright {
namespace {

using Cells = std::map<std::pair<int, int>, std::variant<std::string, double>>;
using testing::ElementsAre;
using testing::HasSubstr;
using testing::IsEmpty;

// The replay's own time of day: 06:00:00.
class ReplayTime : public TimeOfDay {
public:
    std::int32_t millisecondsSinceMidnight() override { return 6 * 3600 * 1000; }
};

constexpr std::int32_t k0900 = 9 * 3600 * 1000;
constexpr std::int32_t k1000 = 10 * 3600 * 1000;
constexpr std::int32_t k1100 = 11 * 3600 * 1000;

struct Replayed {
    Cells cells;
    std::vector<std::string> warnings;
    ReplaySummary summary;
};

Replayed replay(const std::string& journal, std::optional<std::string> reads)
{
    ReplayTime now;
    JournalReplaySource source(JournalFiles{std::make_shared<TextInMemory>(journal), std::move(reads)}, now);
    testing_support::RecordingSpreadsheet sheet;
    Replayed result;
    result.summary = replayJournal(source, sheet);
    result.cells = sheet.cells;
    result.warnings = source.warnings();
    return result;
}

std::string readsOf(std::initializer_list<std::string> lines)
{
    std::string text(kReadsHeader);
    for (const auto& line : lines)
        text += line;
    return text;
}

// Two reads, "a" CR LF CR LF and then CR LF CR LF "b" CR LF: the empty line after "a" is a
// block separator only when the second read had come before the run wrote it.
struct SplitCase {
    const char* name;
    std::int64_t writtenBeforeSecondRead;
    Cells cells;
};

class ReadsSplitAcrossASeparator : public testing::TestWithParam<SplitCase> {};

TEST_P(ReadsSplitAcrossASeparator, WriteTheLinesTheRunHadWrittenBeforeTheNextReadCame)
{
    const std::string journal = "a\r\n\r\n\r\n\r\nb\r\n";
    const auto result = replay(
        journal, readsOf({readLine(5, 0, k0900), readLine(12, GetParam().writtenBeforeSecondRead, k1000),
                          clockLine(3, k1100), stopLine(12, true)}));
    EXPECT_EQ(result.cells, GetParam().cells);
    EXPECT_THAT(result.warnings, IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    JournalReplay, ReadsSplitAcrossASeparator,
    testing::Values(SplitCase{"NothingWrittenBetween", 0, {{{1, 1}, "a"}, {{1, 2}, 11.0}, {{2, 2}, "b"}}},
                    SplitCase{"LineAWritten", 3, {{{1, 1}, "a"}, {{1, 2}, 11.0}, {{2, 2}, "b"}}},
                    SplitCase{"EmptyLineWrittenToo",
                              5,
                              {{{1, 1}, "a"}, {{2, 1}, ""}, {{3, 1}, ""}, {{4, 1}, ""}, {{5, 1}, "b"}}}),
    [](const testing::TestParamInfo<SplitCase>& info) { return std::string(info.param.name); });

TEST(JournalReplay, WithoutAReadsFileStampsGetTheReplaysTimeAndAWarning)
{
    const auto result = replay("1\r\n\r\n\r\n\r\n2\r\nunfinished", std::nullopt);
    EXPECT_EQ(result.cells, (Cells{{{1, 1}, "1"}, {{1, 2}, 6.0}, {{2, 2}, "2"}, {{3, 2}, "unfinished"}}));
    EXPECT_THAT(result.warnings, ElementsAre(HasSubstr("no reads file")));
    EXPECT_EQ(result.summary.bytes, 22);
}

TEST(JournalReplay, AStampWithoutItsTimeGetsTheTimeOfTheReadThatBroughtIt)
{
    // Killed after the read was kept but before its stamp time was: the run did not end.
    const auto result =
        replay("1\r\n\r\n\r\n\r\n2\r\n", readsOf({readLine(3, 0, k0900), readLine(12, 3, k1000)}));
    EXPECT_EQ(result.cells, (Cells{{{1, 1}, "1"}, {{1, 2}, 10.0}, {{2, 2}, "2"}}));
    EXPECT_THAT(result.warnings, ElementsAre(HasSubstr("did not end with Stop")));
}

TEST(JournalReplay, ADamagedReadsFileStillReplaysTheWholeJournal)
{
    const auto result =
        replay("1\r\n\r\n\r\n\r\n2\r\n3\r\n", readsOf({readLine(3, 0, k0900), "r 13 3 garbage\n"}));
    EXPECT_EQ(result.cells, (Cells{{{1, 1}, "1"}, {{1, 2}, 9.0}, {{2, 2}, "2"}, {{3, 2}, "3"}}));
    EXPECT_THAT(result.warnings, ElementsAre(HasSubstr("damaged at line 3: not a line of numbers")));
}

TEST(JournalReplay, AFailedWriteIsPassedOnWithTheSlicesWrittenBeforeItKept)
{
    std::string lines;
    for (int line = 1; line <= 1200; ++line)
        lines += std::to_string(line) + "\r\n";
    const auto size = static_cast<std::int64_t>(lines.size());
    ReplayTime now;
    JournalReplaySource source(
        JournalFiles{std::make_shared<TextInMemory>(lines + "last\r\n"),
                     readsOf({readLine(size, 0, k0900), readLine(size + 6, size, k0900)})},
        now);
    testing_support::RecordingSpreadsheet sheet;
    // The workbook goes away once the last read is taken: the first full slice is in it.
    EXPECT_THROW(replayJournal(source, sheet,
                               [&](std::int64_t taken, std::int64_t) {
                                   if (taken == size + 6)
                                       sheet.failCall("writeRow", SpreadsheetFailure::Gone);
                               }),
                 SpreadsheetError);
    EXPECT_EQ(sheet.cells.size(), kCellsPerWrite);
    EXPECT_EQ(std::get<std::string>(sheet.cells.at({1000, 1})), "1000");
}

TEST(JournalReplay, CutsAtTheSheetsLimitsAndCountsTheRowsItHoldsAsTheRunDid)
{
    std::string wide = "a ::";
    for (int token = 1; token <= 300; ++token) {
        wide += ' ';
        wide += std::to_string(token);
    }
    // A line wider than an .xls sheet, then a VQ-480 block of four readings ending in the
    // separator that opens the next block.
    const std::string journal = wide + "\r\n\r\n\r\n\r\n9999\r\n9999\r\n9999\r\n9999\r\n\r\n\r\n\r\n";
    ReplayTime now;
    JournalReplaySource source(JournalFiles{std::make_shared<TextInMemory>(journal), std::nullopt}, now);
    testing_support::RecordingSpreadsheet sheet;
    sheet.sheetLimits = kXlsSheet;
    const ReplaySummary summary = replayJournal(source, sheet);
    EXPECT_EQ(summary.sheet.bottomRow, 5) << "the block's rows, not the row the next block reached";
    EXPECT_EQ(summary.sheet.linesCut, 1);
    EXPECT_EQ(summary.sheet.cellsLeftOut, 301 - 256);
    EXPECT_FALSE(sheet.cells.contains({1, 257}));
    EXPECT_EQ(std::get<std::string>(sheet.cells.at({1, 256})), "255");
}

}  // namespace
}  // namespace tabwright
