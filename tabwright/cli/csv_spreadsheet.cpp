#include "tabwright/cli/csv_spreadsheet.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <exception>
#include <fstream>
#include <iterator>
#include <system_error>
#include <utility>

#include "tabwright/files/replace_file_content.h"

namespace tabwright {

namespace {

// The sheet's width, as in Calc; a CSV file has no last row.
constexpr int kLastColumn = 16'384;
constexpr std::size_t kStreamBuffer = 1 << 16;
constexpr std::size_t kWritebackStep = std::size_t{4} << 20;

std::string contentOf(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Writes the bytes of the file `from` into `to` (a device that is no file to rename over).
void copyInto(const std::string& from, const std::string& to)
{
    const std::string content = contentOf(from);
    std::ofstream file(to, std::ios::binary);
    file.write(content.data(), static_cast<std::streamsize>(content.size()));
    file.flush();
    if (!file)
        throw std::system_error(errno, std::generic_category());
}

}  // namespace

CsvSpreadsheet::CsvSpreadsheet(std::string outputName) : outputName_(std::move(outputName)) {}

CsvSpreadsheet::~CsvSpreadsheet()
{
    closeStream();
}

void CsvSpreadsheet::closeStream()
{
    if (streamFile_ != nullptr)
        std::fclose(streamFile_);
    streamFile_ = nullptr;
}

CsvSpreadsheet::Row& CsvSpreadsheet::heldRow(int row, int column, std::size_t width)
{
    if (row < 1 || column < 1 || column > kLastColumn)
        throw SpreadsheetError(
            SpreadsheetFailure::Failed,
            "the cell (" + std::to_string(row) + ", " + std::to_string(column) + ") is outside the sheet");
    heldOpenRow();
    if (row < firstHeldRow_)
        takeRowsBack();
    const auto index = static_cast<std::size_t>(row - firstHeldRow_);
    if (held_.size() <= index)
        held_.resize(index + 1);
    auto& cells = held_[index];
    if (cells.size() < width)
        cells.resize(width);
    return cells;
}

std::optional<CsvSpreadsheet::Row> CsvSpreadsheet::openRowCells() const
{
    if (openRow_ == 0)
        return std::nullopt;
    std::vector<Row> rows = readRecords(openRecord_ + "\r\n");
    rows.resize(1);
    rows.front().resize(openFields_);
    return std::move(rows.front());
}

void CsvSpreadsheet::heldOpenRow()
{
    if (std::optional<Row> cells = openRowCells()) {
        held_.push_back(std::move(*cells));
        openRow_ = 0;
    }
}

void CsvSpreadsheet::writeOutOpenRow()
{
    // Cells past the widest used column are empty: their fields are left out, and a row
    // narrower than the widest gets empty fields up to it, as every record has.
    std::string_view fields(openRecord_);
    fields.remove_suffix(openFields_ - std::min(openFields_, widest_));
    records_ += fields;
    records_.append(widest_ - std::min(openFields_, widest_), ',');
    records_ += "\r\n";
    outUsedWidest_ = std::max(outUsedWidest_, openUsed_);
    lastOutUsed_ = openUsed_ > 0;
    firstHeldRow_ = openRow_ + 1;
    openRow_ = 0;
}

bool CsvSpreadsheet::keptOpen(int row, int firstColumn, std::span<const CellValue> values)
{
    if (!streaming_ || firstColumn != 1 || row != firstHeldRow_ || !held_.empty() || openRow_ != 0 ||
        values.size() > static_cast<std::size_t>(kLastColumn))
        return false;
    openRecord_.clear();
    appendFields(openRecord_, values);
    openRow_ = row;
    openFields_ = values.size();
    openUsed_ = 0;
    for (std::size_t at = values.size(); at > 0 && openUsed_ == 0; --at) {
        const auto* text = std::get_if<std::string_view>(&values[at - 1]);
        if (text == nullptr || !text->empty())
            openUsed_ = at;
    }
    noteUsed(openUsed_);
    return true;
}

CsvSpreadsheet::Cell& CsvSpreadsheet::cell(int row, int column)
{
    return heldRow(row, column, static_cast<std::size_t>(column))[static_cast<std::size_t>(column) - 1];
}

void CsvSpreadsheet::completeRowsAbove(int row)
{
    if (!streaming_ || row <= firstHeldRow_ || (held_.empty() && openRow_ == 0))
        return;
    try {
        if (!stream_) {
            stream_.emplace(outputName_);
            streamedPath_ = stream_->path();
            streamFile_ = std::fopen(streamedPath_.c_str(), "wb");
            if (streamFile_ == nullptr)
                throw std::system_error(errno, std::generic_category());
            // The records are gathered here, a buffer at a time.
            std::setvbuf(streamFile_, nullptr, _IONBF, 0);
            firstOutWidth_ = widest_;
        }
        if (openRow_ != 0)
            writeOutOpenRow();
        while (firstHeldRow_ < row && !held_.empty()) {
            const std::size_t used = usedWidth(held_.front());
            appendRecord(records_, held_.front(), widest_);
            outUsedWidest_ = std::max(outUsedWidest_, used);
            lastOutUsed_ = used > 0;
            held_.pop_front();
            ++firstHeldRow_;
        }
        lastOutWidth_ = widest_;
        if (records_.size() >= kStreamBuffer)
            writeOutRecords();
    } catch (const std::exception& error) {
        throw SpreadsheetError(SpreadsheetFailure::Failed,
                               "cannot write the rows of " + outputName_ + ": " + error.what());
    }
}

void CsvSpreadsheet::writeOutRecords()
{
    if (std::fwrite(records_.data(), 1, records_.size(), streamFile_) != records_.size())
        throw std::system_error(errno, std::generic_category());
    streamedBytes_ += records_.size();
    records_.clear();
    // The system starts writing the rows to the disk now, so that the save's sync at the
    // end of a long run waits for little.
    if (streamedBytes_ >= writebackFrom_ + kWritebackStep) {
        ::sync_file_range(::fileno(streamFile_), static_cast<off_t>(writebackFrom_), 0, SYNC_FILE_RANGE_WRITE);
        writebackFrom_ = streamedBytes_;
    }
}

std::vector<CsvSpreadsheet::Row> CsvSpreadsheet::rowsWrittenOut() const
{
    if (streamedPath_.empty())
        return {};
    return readRecords(contentOf(streamedPath_) + records_);
}

void CsvSpreadsheet::takeRowsBack()
{
    std::vector<Row> rows = rowsWrittenOut();
    rows.resize(static_cast<std::size_t>(firstHeldRow_ - 1));
    held_.insert(held_.begin(), std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    firstHeldRow_ = 1;
    records_.clear();
    streaming_ = false;
    closeStream();
    stream_.reset();
    streamedPath_.clear();
}

void CsvSpreadsheet::writeText(int row, int column, std::string_view text)
{
    if (!text.empty())
        completeRowsAbove(row);
    Cell& target = cell(row, column);
    if (text.empty()) {
        target = std::monostate{};
        return;
    }
    target = std::string(text);
    noteUsed(static_cast<std::size_t>(column));
}

void CsvSpreadsheet::writeNumber(int row, int column, double value)
{
    completeRowsAbove(row);
    cell(row, column) = value;
    noteUsed(static_cast<std::size_t>(column));
}

void CsvSpreadsheet::writeRow(int row, int firstColumn, std::span<const CellValue> values)
{
    if (values.empty())
        return;
    // The cells inside the sheet are written; the first outside it then fails, as it would
    // one write at a time.
    const std::size_t fit = firstColumn < 1 || firstColumn > kLastColumn
                                ? 0
                                : std::min(values.size(), static_cast<std::size_t>(kLastColumn - firstColumn + 1));
    const auto used = [](const CellValue& value) {
        const auto* text = std::get_if<std::string_view>(&value);
        return text == nullptr || !text->empty();
    };
    if (std::any_of(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(fit), used)) {
        completeRowsAbove(row);
        if (keptOpen(row, firstColumn, values))
            return;
    }
    Row& cells = heldRow(row, firstColumn, static_cast<std::size_t>(firstColumn) - 1 + fit);
    for (std::size_t at = 0; at < fit; ++at) {
        Cell& target = cells[static_cast<std::size_t>(firstColumn) - 1 + at];
        if (const auto* text = std::get_if<std::string_view>(&values[at])) {
            if (text->empty()) {
                target = std::monostate{};
                continue;
            }
            if (auto* held = std::get_if<std::string>(&target))
                held->assign(*text);
            else
                target.emplace<std::string>(*text);
        } else {
            target = std::get<double>(values[at]);
        }
        noteUsed(static_cast<std::size_t>(firstColumn) + at);
    }
    if (fit < values.size())
        heldRow(row, firstColumn + static_cast<int>(fit), 0);
}

std::string CsvSpreadsheet::workbookName()
{
    return outputName_;
}

std::string CsvSpreadsheet::csvText() const
{
    std::vector<Row> rows = rowsWrittenOut();
    rows.resize(static_cast<std::size_t>(firstHeldRow_ - 1));
    rows.insert(rows.end(), held_.begin(), held_.end());
    if (std::optional<Row> open = openRowCells())
        rows.push_back(std::move(*open));
    std::size_t lastRow = 0;
    std::size_t lastColumn = 0;
    for (std::size_t row = 0; row < rows.size(); ++row) {
        const std::size_t used = usedWidth(rows[row]);
        if (used == 0)
            continue;
        lastRow = row + 1;
        lastColumn = std::max(lastColumn, used);
    }
    std::string csv;
    for (std::size_t row = 0; row < lastRow; ++row)
        appendRecord(csv, rows[row], lastColumn);
    return csv;
}

bool CsvSpreadsheet::writtenOutAsItIs(std::size_t width, bool heldRowUsed) const
{
    return firstOutWidth_ == width && lastOutWidth_ == width && (heldRowUsed || lastOutUsed_);
}

namespace {

// Writes `records` at the end of `file` and closes it; throws the first error.
void appendAndClose(std::FILE* file, const std::string& records)
{
    const bool written = std::fwrite(records.data(), 1, records.size(), file) == records.size();
    const int error = errno;
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed)
        throw std::system_error(written ? errno : error, std::generic_category());
}

// Puts the rows written out in `stream` at `file`: moved over it, or copied into it where it
// is no regular file or lies on another file system; whether they were moved.
bool moveStreamOver(common::FileBeside& stream, const std::string& file)
{
    struct stat info {};
    if (::stat(file.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        copyInto(stream.path(), file);
        return false;
    }
    try {
        stream.moveOver(file);
        return true;
    } catch (const std::system_error& error) {
        // A link that leads to another file system: the rows are copied there.
        if (error.code().value() != EXDEV)
            throw;
        copyInto(stream.path(), file);
        return false;
    }
}

}  // namespace

void CsvSpreadsheet::saveWorkbookAs(const std::string& path)
{
    try {
        heldOpenRow();
        std::size_t lastHeld = 0;
        std::size_t width = outUsedWidest_;
        for (std::size_t row = 0; row < held_.size(); ++row) {
            const std::size_t used = usedWidth(held_[row]);
            if (used > 0)
                lastHeld = row + 1;
            width = std::max(width, used);
        }
        if (streamFile_ == nullptr || !writtenOutAsItIs(width, lastHeld > 0)) {
            // The whole sheet in memory, and no file beside left over.
            if (streaming_)
                takeRowsBack();
            replaceFileContent(path, csvText());
            return;
        }
        // The rows still held go after those written out, and the file takes its place.
        std::string records = std::exchange(records_, {});
        for (std::size_t row = 0; row < lastHeld; ++row)
            appendRecord(records, held_[row], width);
        appendAndClose(std::exchange(streamFile_, nullptr), records);
        held_.erase(held_.begin(), held_.begin() + static_cast<std::ptrdiff_t>(lastHeld));
        firstHeldRow_ += static_cast<int>(lastHeld);
        bool moved = false;
        replaceFileBy(path,
                      [this, &moved](const std::string& file) { moved = moveStreamOver(*stream_, file); });
        // The rows written out now live in the saved file; nothing more is streamed.
        if (moved)
            streamedPath_ = path;
        streaming_ = false;
    } catch (const std::exception& error) {
        throw SpreadsheetError(SpreadsheetFailure::Failed, "cannot save " + path + ": " + error.what());
    }
}

}  // namespace tabwright
