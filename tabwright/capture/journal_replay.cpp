#include "tabwright/capture/journal_replay.h"

#include <limits>

#include "tabwright/capture/batching_row_sink.h"
#include "tabwright/capture/capture_parser.h"
#include "tabwright/capture/capture_run.h"

namespace tabwright {

namespace {

// Ends a slice at the line that starts at `stopAt`, so the parse stops where the run had
// stopped before the next read came. The rows are handed on only when a full slice has
// gathered (and at the end of the replay): a journal read a few bytes at a time still
// reaches the spreadsheet in large writes.
class ReplaySlices : public RowSink {
public:
    ReplaySlices(CaptureSheet& sheet, const CaptureParser& parser)
        : rows_(sheet, kCellsPerWrite), parser_(parser)
    {
    }
    void stopAt(std::int64_t offset) { stopAt_ = offset; }
    void writeRow(int row, int firstColumn, std::span<const CellValue> values) override
    {
        rows_.writeRow(row, firstColumn, values);
    }
    bool sliceFull() const override { return rows_.sliceFull() || parser_.LineOffset() >= stopAt_; }
    void flush() override
    {
        if (rows_.sliceFull())
            rows_.flush();
    }
    void flushAll() { rows_.flush(); }

private:
    BatchingRowSink rows_;
    const CaptureParser& parser_;
    std::int64_t stopAt_ = 0;
};

void throwOn(const std::optional<SpreadsheetError>& failure)
{
    if (failure)
        throw *failure;
}

// Writes the lines that start before `stopAt`; `afterSlice` after each slice.
void writeLinesBefore(CaptureParser& parser, ReplaySlices& slices, std::int64_t stopAt,
                      const std::function<void()>& afterSlice)
{
    slices.stopAt(stopAt);
    while (parser.LineOffset() < stopAt && parser.LineWaiting()) {
        throwOn(parser.ProcessReceivedText(slices));
        afterSlice();
    }
}

}  // namespace

ReplaySummary replayJournal(JournalReplaySource& source, CaptureSheet& sheet,
                            const std::function<void(std::int64_t, std::int64_t)>& progress)
{
    source.open();
    const CaptureParser* parsing = nullptr;
    CaptureParser parser(source.stampClock([&parsing] { return parsing->LineOffset(); }));
    parsing = &parser;
    parser.startRun();
    parser.setSheetLimits(sheet.limits());
    ReplaySlices slices(sheet, parser);
    const auto tellProgress = [&] {
        if (progress)
            progress(source.bytesTaken(), source.size());
    };
    constexpr std::int64_t kEverything = std::numeric_limits<std::int64_t>::max();
    while (source.hasMore()) {
        writeLinesBefore(parser, slices, source.writtenBeforeNextRead().value_or(kEverything), tellProgress);
        const std::string text = source.takePendingText();
        parser.countReceived(text.size());
        parser.append(text);
        tellProgress();
    }
    writeLinesBefore(parser, slices, kEverything, tellProgress);
    slices.stopAt(kEverything);
    throwOn(parser.WriteUnfinishedLine(slices));
    slices.flushAll();
    const ReplaySummary summary{parser.BytesReceived(), parser.Tally()};
    parser.stopRun();
    source.close();
    return summary;
}

}  // namespace tabwright
