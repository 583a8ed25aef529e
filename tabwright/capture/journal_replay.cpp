#include "tabwright/capture/journal_replay.h"

#include <limits>

#include "tabwright/capture/batching_row_sink.h"
#include "tabwright/capture/capture_parser.h"
#include "tabwright/capture/capture_run.h"

namespace tabwright {

namespace {

// Ends a slice at the line that starts at `stopAt`, so the parse stops where the run had
// stopped before the next read came.
class StopAtLineSink : public RowSink {
public:
    StopAtLineSink(RowSink& rows, const CaptureParser& parser, std::int64_t stopAt)
        : rows_(rows), parser_(parser), stopAt_(stopAt)
    {
    }
    void writeRow(int row, int firstColumn, std::span<const CellValue> values) override
    {
        rows_.writeRow(row, firstColumn, values);
    }
    bool sliceFull() const override { return rows_.sliceFull() || parser_.LineOffset() >= stopAt_; }
    void flush() override { rows_.flush(); }

private:
    RowSink& rows_;
    const CaptureParser& parser_;
    std::int64_t stopAt_;
};

void throwOn(const std::optional<SpreadsheetError>& failure)
{
    if (failure)
        throw *failure;
}

// Writes the lines that start before `stopAt`.
void writeLinesBefore(CaptureParser& parser, Spreadsheet& sheet, std::int64_t stopAt)
{
    BatchingRowSink rows(sheet, kCellsPerWrite);
    StopAtLineSink slice(rows, parser, stopAt);
    while (parser.LineOffset() < stopAt && parser.LineWaiting())
        throwOn(parser.ProcessReceivedText(slice));
}

}  // namespace

ReplaySummary replayJournal(JournalReplaySource& source, Spreadsheet& sheet,
                            const std::function<void(std::int64_t, std::int64_t)>& progress)
{
    source.open();
    const CaptureParser* parsing = nullptr;
    CaptureParser parser(source.stampClock([&parsing] { return parsing->LineOffset(); }));
    parsing = &parser;
    parser.startRun();
    constexpr std::int64_t kEverything = std::numeric_limits<std::int64_t>::max();
    while (source.hasMore()) {
        writeLinesBefore(parser, sheet, source.writtenBeforeNextRead().value_or(kEverything));
        const std::string text = source.takePendingText();
        parser.countReceived(text.size());
        parser.append(text);
        if (progress)
            progress(source.bytesTaken(), source.size());
    }
    writeLinesBefore(parser, sheet, kEverything);
    BatchingRowSink rows(sheet, kCellsPerWrite);
    throwOn(parser.WriteUnfinishedLine(rows));
    const ReplaySummary summary{parser.BytesReceived(), parser.CurrentRow() - 1};
    parser.stopRun();
    source.close();
    return summary;
}

}  // namespace tabwright
