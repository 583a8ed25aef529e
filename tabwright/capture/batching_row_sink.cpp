#include "tabwright/capture/batching_row_sink.h"

#include <variant>

namespace tabwright {

void BatchingRowSink::writeRow(int row, int firstColumn, std::span<const CellValue> values)
{
    if (!gathers_) {
        spreadsheet_.writeRow(row, firstColumn, values);
        cellsPassedOn_ += values.size();
        cellsWritten_ += values.size();
        return;
    }
    rows_.push_back(Row{row, firstColumn, cells_.size(), values.size()});
    for (const CellValue& value : values) {
        if (const auto* text = std::get_if<std::string_view>(&value)) {
            cells_.push_back(Cell{0.0, text_.size(), text->size(), true});
            text_.append(*text);
        } else {
            cells_.push_back(Cell{std::get<double>(value), 0, 0, false});
        }
    }
}

void BatchingRowSink::flush()
{
    cellsPassedOn_ = 0;
    if (rows_.empty())
        return;
    // The texts are all in place now, so views into text_ stay valid for the call.
    std::vector<CellValue> values;
    values.reserve(cells_.size());
    for (const Cell& cell : cells_) {
        if (cell.isText)
            values.emplace_back(std::string_view(text_).substr(cell.textStart, cell.textSize));
        else
            values.emplace_back(cell.number);
    }
    std::vector<RowCells> rows;
    rows.reserve(rows_.size());
    for (const Row& row : rows_)
        rows.push_back(RowCells{row.row, row.firstColumn,
                                std::span<const CellValue>(values).subspan(row.firstCell, row.cellCount)});
    try {
        spreadsheet_.writeRows(rows);
    } catch (...) {
        clear();
        throw;
    }
    cellsWritten_ += cells_.size();
    clear();
}

void BatchingRowSink::clear()
{
    text_.clear();
    cells_.clear();
    rows_.clear();
}

}  // namespace tabwright
