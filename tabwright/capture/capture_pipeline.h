#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

#include "tabwright/capture/capture_parser.h"
#include "tabwright/capture/row_sink.h"
#include "tabwright/capture/spreadsheet.h"
#include "tabwright/capture/text_queue.h"
#include "tabwright/capture/text_source.h"

namespace tabwright {

// The one road from a source to the cells, for a live run and a replay alike: what the
// source gives goes into the queue as it comes, and the parser reads the queue back a
// window at a time and writes its lines, at the sheet's pace. Nothing between the two is
// held in memory beyond the window (and a line longer than it).
//
// A recorded source (a journal) tells how far the run it recorded had written before its
// next piece came; the pipeline writes up to there before taking that piece, so the
// parser sees the text in the same pieces the run saw and writes the same cells.
class CapturePipeline {
public:
    CapturePipeline(TextSource& source, TextQueue& queue, CaptureParser& parser)
        : source_(source), queue_(queue), parser_(parser)
    {
    }

    // A run begins, on an empty queue.
    void restart() { fed_ = 0; }

    // Takes what the source gives into the queue and counts it in the parser's
    // BytesReceived: one piece from a live source, or every piece a recording gives before
    // lines must be written. Returns the bytes taken.
    std::int64_t readIncomingText();
    // Whether the source still has text to give (a recording not yet read to its end).
    bool sourceHasMore() const { return source_.hasMoreText(); }

    // Whether a complete line waits to be written now.
    bool lineWaiting();
    // Writes waiting lines through `rows` slice by slice until none waits, `deadline` has
    // passed, or the source's next piece must come first; `afterSlice` after each slice.
    // Returns the failure of a write, after which the failed line and all after it wait.
    std::optional<SpreadsheetError> writeLines(RowSink& rows, std::chrono::steady_clock::time_point deadline,
                                               const std::function<void()>& afterSlice = {});
    // Stop: writes every line of the queue and then the unfinished last one as it stands.
    // Fails as writeLines.
    std::optional<SpreadsheetError> writeEverything(RowSink& rows);

    // The queue's bytes not yet written as cells.
    std::int64_t bytesWaiting() const
    {
        return std::max<std::int64_t>(queue_.size() - parser_.lineOffset(), 0);
    }

private:
    // Tops the parser's text up from the queue: at least a window ahead of what is written,
    // and up to a line end when the window holds none.
    void feedParser();

    TextSource& source_;
    TextQueue& queue_;
    CaptureParser& parser_;
    std::int64_t fed_ = 0;  // the queue's bytes handed to the parser
};

}  // namespace tabwright
