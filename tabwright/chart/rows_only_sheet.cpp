#include "tabwright/chart/rows_only_sheet.h"

namespace tabwright {

void RowsOnlySheet::writeText(int row, int column, std::string_view text)
{
    const CellValue cell = text;
    rows_.writeRow(row, column, {&cell, 1});
}

void RowsOnlySheet::writeNumber(int row, int column, double value)
{
    const CellValue cell = value;
    rows_.writeRow(row, column, {&cell, 1});
}

void RowsOnlySheet::saveWorkbookAs(const std::string& path)
{
    throw SpreadsheetError(SpreadsheetFailure::Failed, "a chart has no workbook to save as " + path);
}

}  // namespace tabwright
