#include "tabwright/capture/spreadsheet.h"

namespace tabwright {

void CaptureSheet::writeRow(int row, int firstColumn, std::span<const CellValue> values)
{
    int column = firstColumn;
    for (const CellValue& value : values) {
        if (const auto* text = std::get_if<std::string_view>(&value))
            writeText(row, column, *text);
        else
            writeNumber(row, column, std::get<double>(value));
        ++column;
    }
}

void CaptureSheet::writeRows(std::span<const RowCells> rows)
{
    for (const RowCells& cells : rows)
        writeRow(cells.row, cells.firstColumn, cells.values);
}

}  // namespace tabwright
