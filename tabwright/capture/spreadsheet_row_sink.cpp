#include "tabwright/capture/spreadsheet_row_sink.h"

namespace tabwright {

void SpreadsheetRowSink::writeRow(int row, int firstColumn, std::span<const CellValue> values)
{
    spreadsheet_.writeRow(row, firstColumn, values);
}

}  // namespace tabwright
