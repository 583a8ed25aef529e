#include "tabwright/capture/spreadsheet_row_sink.h"

namespace tabwright {

void SpreadsheetRowSink::writeRow(int row, int firstColumn, std::span<const CellValue> values)
{
    int column = firstColumn;
    for (const CellValue& value : values) {
        if (const auto* text = std::get_if<std::string_view>(&value))
            spreadsheet_.writeText(row, column, *text);
        else
            spreadsheet_.writeNumber(row, column, std::get<double>(value));
        ++column;
    }
}

}  // namespace tabwright
