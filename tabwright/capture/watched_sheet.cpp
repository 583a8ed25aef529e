#include "tabwright/capture/watched_sheet.h"

namespace tabwright {

void WatchedSheet::writeText(int row, int column, std::string_view text)
{
    sheet_.writeText(row, column, text);
    if (watcher_) {
        const CellValue cell = text;
        watcher_->writeRow(row, column, {&cell, 1});
    }
}

void WatchedSheet::writeNumber(int row, int column, double value)
{
    sheet_.writeNumber(row, column, value);
    if (watcher_) {
        const CellValue cell = value;
        watcher_->writeRow(row, column, {&cell, 1});
    }
}

void WatchedSheet::writeRow(int row, int firstColumn, std::span<const CellValue> values)
{
    sheet_.writeRow(row, firstColumn, values);
    if (watcher_)
        watcher_->writeRow(row, firstColumn, values);
}

void WatchedSheet::writeRows(std::span<const RowCells> rows)
{
    sheet_.writeRows(rows);
    if (!watcher_)
        return;
    for (const RowCells& cells : rows)
        watcher_->writeRow(cells.row, cells.firstColumn, cells.values);
}

}  // namespace tabwright
