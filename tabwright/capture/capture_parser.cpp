#include "tabwright/capture/capture_parser.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "tabwright/capture/next_token.h"

namespace tabwright {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kBlockSeparator = "\r\n\r\n\r\n";

// Rows and columns stop at the largest int instead of overflowing.
int following(int index)
{
    return index < INT_MAX ? index + 1 : index;
}

}  // namespace

void CaptureParser::startRun()
{
    currentRow_ = 1;
    blockColumn_ = 1;
    tally_ = {};
}

void CaptureParser::stopRun()
{
    buffer_.clear();
    head_ = 0;
    textBeyond_ = false;
    searchFrom_ = 0;
    bytesReceived_ = 0;
    bufferOffset_ = 0;
    lineStart_ = 0;
}

std::optional<tabwright::SpreadsheetError> CaptureParser::processReceivedText(RowSink& sink)
{
    const int sliceRow = currentRow_;
    const int sliceBlockColumn = blockColumn_;
    const SheetTally sliceTally = tally_;
    const std::size_t sliceStart = head_;
    std::optional<tabwright::SpreadsheetError> failure;
    std::size_t start = writeWholeLines(sink, failure);
    try {
        sink.flush();
    } catch (const tabwright::SpreadsheetError& error) {
        // The rows of the slice may be written in part: all of them are written again.
        currentRow_ = sliceRow;
        blockColumn_ = sliceBlockColumn;
        tally_ = sliceTally;
        start = sliceStart;
        searchFrom_ = sliceStart;
        failure = error;
    }
    dropConsumed(start);
    return failure;
}

std::size_t CaptureParser::writeWholeLines(RowSink& sink, std::optional<tabwright::SpreadsheetError>& failure)
{
    std::size_t start = head_;
    for (std::size_t end; (end = findLineEnd(start)) != std::string::npos;) {
        const int row = currentRow_;
        const int blockColumn = blockColumn_;
        lineStart_ = start;
        lineTally_ = tally_;
        try {
            const std::string_view line(buffer_.data() + start, end - start);
            start = line.find("::") != std::string_view::npos ? writeTaggedLine(start, end, sink)
                                                              : writePlainLine(start, end, sink);
        } catch (const tabwright::SpreadsheetError& error) {
            currentRow_ = row;
            blockColumn_ = blockColumn;
            failure = error;
            break;
        } catch (...) {
            // Any other exception, too, leaves the state as it was before the line.
            currentRow_ = row;
            blockColumn_ = blockColumn;
            dropConsumed(start);
            throw;
        }
        tally_ = lineTally_;
        currentRow_ = following(currentRow_);
        lineStart_ = start;
        if (sink.sliceFull())
            break;
    }
    return start;
}

std::optional<tabwright::SpreadsheetError> CaptureParser::writeUnfinishedLine(RowSink& sink)
{
    if (buffer_.size() > head_ && buffer_.back() == '\r')
        buffer_.pop_back();
    if (buffer_.size() == head_)
        return std::nullopt;
    buffer_.append(kLineEnd);
    textBeyond_ = false;
    auto failure = processReceivedText(sink);
    if (failure) {
        buffer_.resize(buffer_.size() - kLineEnd.size());
        searchFrom_ = head_;
    }
    return failure;
}

void CaptureParser::dropConsumed(std::size_t consumed)
{
    head_ = consumed;
    lineStart_ = consumed;
    if (head_ < buffer_.size() - head_)
        return;
    buffer_.erase(0, head_);
    bufferOffset_ += static_cast<std::int64_t>(head_);
    searchFrom_ = searchFrom_ > head_ ? searchFrom_ - head_ : 0;
    lineStart_ = 0;
    head_ = 0;
}

std::size_t CaptureParser::findLineEnd(std::size_t from)
{
    std::size_t at = std::max(from, searchFrom_);
    while (at + 1 < buffer_.size()) {
        const std::size_t lf = buffer_.find('\n', at + 1);
        if (lf == std::string::npos)
            break;
        const std::size_t cr = lf - 1;
        if (buffer_[cr] == '\r') {
            // A block separator may begin at this CR: with more text to come, the line
            // waits until all six of its bytes could be seen.
            if (textBeyond_ && cr + kBlockSeparator.size() > buffer_.size()) {
                searchFrom_ = std::max(from, cr);
                return std::string::npos;
            }
            return cr;
        }
        at = cr + 2;
    }
    // The last character may be the CR of a CR LF whose LF is still to come.
    searchFrom_ = std::max(from, buffer_.empty() ? 0 : buffer_.size() - 1);
    return std::string::npos;
}

bool CaptureParser::isSeparatorAt(std::size_t at) const
{
    return std::string_view(buffer_).substr(at, kBlockSeparator.size()) == kBlockSeparator;
}

std::size_t CaptureParser::writeTaggedLine(std::size_t start, std::size_t end, RowSink& sink)
{
    cells_.clear();
    std::string_view rest(buffer_.data() + start, end - start);
    std::string_view token;
    while (NextToken(rest, token))
        if (token != "::" && token != "=")
            cells_.emplace_back(token);
    writeCells(sink, currentRow_, 1, cells_);
    return end + kLineEnd.size();
}

std::size_t CaptureParser::writePlainLine(std::size_t start, std::size_t end, RowSink& sink)
{
    cells_.clear();
    const int firstColumn = blockColumn_;
    int column = firstColumn;
    for (std::size_t field = start; field <= end;) {
        if (isSeparatorAt(field)) {
            // The fields before the separator belong to the line's own row.
            writeCells(sink, currentRow_, firstColumn, cells_);
            blockColumn_ = following(blockColumn_);
            currentRow_ = 1;
            const CellValue stamp = HoursSinceMidnight(clock_);
            writeCells(sink, 1, blockColumn_, {&stamp, 1});
            return field + kBlockSeparator.size();
        }
        const void* tab = std::memchr(buffer_.data() + field, '\t', end - field);
        const std::size_t fieldEnd = tab ? static_cast<const char*>(tab) - buffer_.data() : end;
        cells_.emplace_back(std::string_view(buffer_.data() + field, fieldEnd - field));
        if (column >= kColumnLimit) {
            countFieldsLeftOut(fieldEnd, end);
            field = end + 1;
        } else {
            field = fieldEnd + 1;
        }
        column = following(column);
    }
    writeCells(sink, currentRow_, firstColumn, cells_);
    return end + kLineEnd.size();
}

void CaptureParser::countFieldsLeftOut(std::size_t fieldEnd, std::size_t end)
{
    if (fieldEnd >= end)
        return;
    // The fields after this one: one more than the TABs between it and the line's end.
    const auto rest = std::string_view(buffer_).substr(fieldEnd + 1, end - fieldEnd - 1);
    lineTally_.fieldsLeftOut += 1 + std::count(rest.begin(), rest.end(), '\t');
    ++lineTally_.plainLinesTrimmed;
    if (!lineTally_.firstTrimmedRow)
        lineTally_.firstTrimmedRow = currentRow_;
}

void CaptureParser::writeCells(RowSink& sink, int row, int firstColumn, std::span<const CellValue> cells)
{
    const std::size_t room =
        firstColumn > limits_.columns ? 0 : static_cast<std::size_t>(limits_.columns - firstColumn + 1);
    if (cells.size() > room) {
        ++lineTally_.linesCut;
        lineTally_.cellsLeftOut += static_cast<std::int64_t>(cells.size() - room);
        lineTally_.lastCut = CutLine{row, cells.size() - room};
        cells = cells.first(room);
    }
    if (cells.empty())
        return;
    const auto tooLong = [this](const CellValue& cell) {
        const auto* text = std::get_if<std::string_view>(&cell);
        return text != nullptr && text->size() > limits_.cellCharacters;
    };
    if (std::any_of(cells.begin(), cells.end(), tooLong)) {
        shortened_.assign(cells.begin(), cells.end());
        for (std::size_t at = 0; at < shortened_.size(); ++at) {
            if (!tooLong(shortened_[at]))
                continue;
            auto& text = std::get<std::string_view>(shortened_[at]);
            text = text.substr(0, limits_.cellCharacters);
            ++lineTally_.cellsShortened;
            lineTally_.lastShortened = CellPlace{row, firstColumn + static_cast<int>(at)};
        }
        cells = shortened_;
    }
    if (limits_.workbookBytes != SheetLimits::kAnyWorkbookSize) {
        const std::uint64_t stored = storedBytesOf(cells);
        if (stored > limits_.workbookBytes - std::min(limits_.workbookBytes, lineTally_.storedBytes))
            throw SpreadsheetError(SpreadsheetFailure::Full, workbookFullReason(limits_, row));
        lineTally_.storedBytes += stored;
    }
    sink.writeRow(row, firstColumn, cells);
    // An empty text leaves its cell empty: a row of those holds nothing.
    const auto holdsSomething = [](const CellValue& cell) {
        const auto* text = std::get_if<std::string_view>(&cell);
        return text == nullptr || !text->empty();
    };
    if (std::any_of(cells.begin(), cells.end(), holdsSomething))
        lineTally_.bottomRow = std::max(lineTally_.bottomRow, row);
}

}  // namespace tabwright
