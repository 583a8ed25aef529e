#include "tabwright/capture/journal_replay.h"

#include <chrono>

#include "tabwright/capture/batching_row_sink.h"
#include "tabwright/capture/capture_parser.h"
#include "tabwright/capture/capture_pipeline.h"
#include "tabwright/capture/capture_run.h"

namespace tabwright {

namespace {

// Hands the rows on only when a full slice has gathered (and at the end of the replay):
// a journal read a few bytes at a time still reaches the spreadsheet in large writes.
class FullSlices : public RowSink {
public:
    explicit FullSlices(CaptureSheet& sheet) : rows_(sheet, kCellsPerWrite) {}
    void writeRow(int row, int firstColumn, std::span<const CellValue> values) override
    {
        rows_.writeRow(row, firstColumn, values);
    }
    bool sliceFull() const override { return rows_.sliceFull(); }
    void flush() override
    {
        if (rows_.sliceFull())
            rows_.flush();
    }
    void flushAll() { rows_.flush(); }

private:
    BatchingRowSink rows_;
};

void throwOn(const std::optional<SpreadsheetError>& failure)
{
    if (failure)
        throw *failure;
}

}  // namespace

ReplaySummary replayJournal(JournalReplaySource& source, CaptureSheet& sheet,
                            const std::function<void(std::int64_t, std::int64_t)>& progress)
{
    source.open();
    const CaptureParser* parsing = nullptr;
    CaptureParser parser(source.stampClock([&parsing] { return parsing->lineOffset(); }));
    parsing = &parser;
    parser.startRun();
    // The journal is the source and, being on the disk already, its own queue.
    CapturePipeline pipeline(source, source, parser);
    pipeline.restart();
    parser.setSheetLimits(sheet.limits());
    FullSlices rows(sheet);
    const auto tellProgress = [&] {
        if (progress)
            progress(source.bytesTaken(), source.journalSize());
    };
    do {
        if (pipeline.readIncomingText() > 0)
            tellProgress();
        throwOn(pipeline.writeLines(rows, std::chrono::steady_clock::time_point::max(), tellProgress));
    } while (pipeline.sourceHasMore());
    throwOn(pipeline.writeEverything(rows));
    rows.flushAll();
    const ReplaySummary summary{parser.bytesReceived(), parser.tally()};
    parser.stopRun();
    source.close();
    return summary;
}

}  // namespace tabwright
