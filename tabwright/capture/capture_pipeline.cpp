#include "tabwright/capture/capture_pipeline.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <stdexcept>
#include <string>

namespace tabwright {

namespace {

// How much of the queue the parser holds ahead of what it has written.
constexpr std::size_t kWindow = std::size_t{256} << 10;

// Ends a slice at the line that starts at `stopAt`, where the recorded run had stopped
// before its next piece came.
class SliceUpTo : public RowSink {
public:
    SliceUpTo(RowSink& rows, const CaptureParser& parser, std::int64_t stopAt)
        : rows_(rows), parser_(parser), stopAt_(stopAt)
    {
    }
    void writeRow(int row, int firstColumn, std::span<const CellValue> values) override
    {
        rows_.writeRow(row, firstColumn, values);
    }
    bool sliceFull() const override { return rows_.sliceFull() || parser_.lineOffset() >= stopAt_; }
    void flush() override { rows_.flush(); }

private:
    RowSink& rows_;
    const CaptureParser& parser_;
    std::int64_t stopAt_;
};

}  // namespace

std::int64_t CapturePipeline::readIncomingText()
{
    std::int64_t taken = 0;
    do {
        // A recording's next piece waits until the lines before its mark are written.
        if (const auto mark = source_.writtenBeforeNextText();
            mark && parser_.lineOffset() < *mark && lineWaiting())
            break;
        const std::string text = source_.takePendingText();
        if (text.empty())
            break;
        queue_.append(text);
        parser_.countReceived(text.size());
        taken += static_cast<std::int64_t>(text.size());
    } while (source_.hasMoreText());
    return taken;
}

void CapturePipeline::feedParser()
{
    const std::int64_t end = queue_.size();
    while (fed_ < end && (parser_.receiveBuffer().size() < kWindow || !parser_.lineWaiting())) {
        const auto want = static_cast<std::size_t>(std::min<std::int64_t>(end - fed_, kWindow));
        std::string window;
        window.reserve(want);
        const std::size_t got = queue_.readAt(fed_, want, window);
        if (got == 0)
            throw std::runtime_error("the queue ended at " + std::to_string(fed_) + " of " +
                                     std::to_string(end) + " bytes");
        parser_.append(window);
        fed_ += static_cast<std::int64_t>(got);
        parser_.setTextBeyond(fed_ < end);
    }
    parser_.setTextBeyond(fed_ < end);
}

bool CapturePipeline::lineWaiting()
{
    feedParser();
    return parser_.lineWaiting();
}

std::optional<SpreadsheetError> CapturePipeline::writeLines(RowSink& rows,
                                                            std::chrono::steady_clock::time_point deadline,
                                                            const std::function<void()>& afterSlice)
{
    const std::int64_t stopAt =
        source_.writtenBeforeNextText().value_or(std::numeric_limits<std::int64_t>::max());
    SliceUpTo slice(rows, parser_, stopAt);
    while (parser_.lineOffset() < stopAt && lineWaiting()) {
        if (auto failure = parser_.processReceivedText(slice))
            return failure;
        if (afterSlice)
            afterSlice();
        if (std::chrono::steady_clock::now() >= deadline)
            break;
    }
    return std::nullopt;
}

std::optional<SpreadsheetError> CapturePipeline::writeEverything(RowSink& rows)
{
    while (lineWaiting())
        if (auto failure = parser_.processReceivedText(rows))
            return failure;
    return parser_.writeUnfinishedLine(rows);
}

}  // namespace tabwright
