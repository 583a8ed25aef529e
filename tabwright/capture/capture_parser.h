#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tabwright/capture/row_sink.h"
#include "tabwright/capture/sheet_limits.h"
#include "tabwright/capture/spreadsheet.h"
#include "tabwright/capture/time_of_day.h"

namespace tabwright {

// Plain lines write no field to the right of this column.
inline constexpr int kColumnLimit = 256;

// Turns the instrument's text into cell writes and keeps what is needed between
// ticks: the text not yet consumed, the count of characters received, the row of
// the next line and the first column of the current block.
//
// Lines end with CR LF; a lone CR or LF is text. A line holding "::" is a tagged
// line: its space-separated tokens go to columns 1, 2, ... of the line's row,
// leaving out the tokens "::" and "=". Any other line is a plain line: its
// TAB-separated fields go to its row from the block's column on, up to column
// kColumnLimit. CR LF CR LF CR LF at the start of a line or of a field closes a
// block: the next block starts at row 2 of the next column, under the time of
// day in hours in its row 1. Cells past the sheet's last column are left out and
// the line is counted as cut, the rest of it written; a text longer than a cell
// keeps is cut at its length and counted. The sheet's limits are .ods's until
// setSheetLimits gives those of the format the workbook is saved in.
class CaptureParser {
public:
    explicit CaptureParser(TimeOfDay& clock) : clock_(clock) {}

    // Start of a run: the first block starts at row 1 of column 1, and nothing is counted.
    void startRun();
    // The limits of the sheet the lines go to, kept from run to run.
    void setSheetLimits(const SheetLimits& limits) { limits_ = limits; }
    const SheetLimits& limits() const { return limits_; }
    // Stop: an unfinished line is dropped and the count of received characters
    // starts again from 0.
    void stopRun();

    // Counts characters taken in (ReadIncomingText does).
    void countReceived(std::size_t characters) { bytesReceived_ += static_cast<std::int64_t>(characters); }
    // Adds received text at the end of ReceiveBuffer.
    void append(std::string_view text) { buffer_.append(text); }
    // Whether more of the run's text follows what ReceiveBuffer holds (a reader that feeds
    // the parser a window at a time says so): a line end is then taken only once the six
    // bytes that may close a block after it are held, so a window's edge never splits a
    // block separator into lines.
    void setTextBeyond(bool beyond) { textBeyond_ = beyond; }

    // Writes every complete line of ReceiveBuffer into `sink`, in order, and
    // keeps the unfinished rest. Each line reaches the sink as one row write
    // (none when it has no cell); a block's time stamp is one more, after the
    // fields of the line it closes.
    //
    // When a write fails, the parse stops there: ReceiveBuffer keeps that line
    // and everything after it, CurrentRow and BlockColumn are as they were
    // before that line, and the failure is returned. Calling again writes the
    // same cells, so the caller can simply retry.
    //
    // A sink that gathers rows ends the parse after the line that fills it
    // (sliceFull); the rows are then handed on by its flush. When that flush
    // fails, nothing of the slice counts as written: ReceiveBuffer, CurrentRow
    // and BlockColumn are as they were before the call, so a retry writes the
    // same cells again.
    std::optional<tabwright::SpreadsheetError> processReceivedText(RowSink& sink);

    // Stop: writes the unfinished last line as it stands (a CR that waits for
    // its LF left out), as if its CR LF had come. Fails as ProcessReceivedText.
    std::optional<tabwright::SpreadsheetError> writeUnfinishedLine(RowSink& sink);

    // Whether ReceiveBuffer holds a complete line, that is more to write.
    bool lineWaiting() { return findLineEnd(head_) != std::string::npos; }

    // Where in the run's text (counted from its first byte) the line being written
    // starts, while a row is written or the clock is read for a block's stamp; between
    // parses, where the first line not yet written starts: everything before it is written.
    std::int64_t lineOffset() const { return bufferOffset_ + static_cast<std::int64_t>(lineStart_); }

    std::string_view receiveBuffer() const { return std::string_view(buffer_).substr(head_); }
    std::int64_t bytesReceived() const { return bytesReceived_; }
    int currentRow() const { return currentRow_; }
    int blockColumn() const { return blockColumn_; }
    // The bottom row holding a cell written since startRun: the rows the sheet holds
    // (0 for none).
    int rowsWritten() const { return tally_.bottomRow; }
    // What the lines written since startRun did to the sheet: counted for a line once it
    // is written, and taken back with the slice whose flush fails.
    const SheetTally& tally() const { return tally_; }
    std::int64_t linesCut() const { return tally_.linesCut; }

private:
    // Writes one row through the sink, cut at the sheet's last column and each text at
    // the cell's length.
    void writeCells(RowSink& sink, int row, int firstColumn, std::span<const CellValue> cells);
    // Counts the fields of the plain line after `fieldEnd` (up to `end`) as left out.
    void countFieldsLeftOut(std::size_t fieldEnd, std::size_t end);

    // Position of the CR of the first CR LF at or after `from`, or npos.
    std::size_t findLineEnd(std::size_t from);
    bool isSeparatorAt(std::size_t at) const;
    // Lines written up to `consumed` (an index into buffer_): ReceiveBuffer starts there.
    // The written text is removed only once it is at least half of buffer_, so consuming a
    // backlog slice by slice costs time in proportion to the text.
    void dropConsumed(std::size_t consumed);
    // Writes the whole lines from head_ until the sink's slice is full; returns where the
    // lines written end. A line the sheet refuses is left unwritten, with `failure` its reason.
    std::size_t writeWholeLines(RowSink& sink, std::optional<tabwright::SpreadsheetError>& failure);
    // Each writes the line [start, end) and returns where the next line starts.
    std::size_t writeTaggedLine(std::size_t start, std::size_t end, RowSink& sink);
    std::size_t writePlainLine(std::size_t start, std::size_t end, RowSink& sink);

    TimeOfDay& clock_;
    std::string buffer_;
    std::size_t head_ = 0;  // buffer_[0, head_) is written text not yet removed
    bool textBeyond_ = false;
    // No CR LF starts in buffer_ before this position: each tick searches only
    // the text that is new, however much waits for its CR LF.
    std::size_t searchFrom_ = 0;
    std::int64_t bytesReceived_ = 0;
    std::int64_t bufferOffset_ = 0;  // the run's text before buffer_[0], all written
    std::size_t lineStart_ = 0;      // in buffer_, the line being written or the next one
    int currentRow_ = 1;
    int blockColumn_ = 1;
    std::vector<CellValue> cells_;      // the row being gathered, kept to reuse its memory
    std::vector<CellValue> shortened_;  // a row whose texts were cut at the cell's length
    SheetLimits limits_ = kOdsSheet;
    SheetTally tally_;      // of the lines written
    SheetTally lineTally_;  // of the line being written
};

}  // namespace tabwright
