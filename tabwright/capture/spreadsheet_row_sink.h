#pragma once

#include "tabwright/capture/row_sink.h"
#include "tabwright/capture/spreadsheet.h"

namespace tabwright {

// Passes each row on to the spreadsheet as one row write.
class SpreadsheetRowSink : public RowSink {
public:
    explicit SpreadsheetRowSink(tabwright::CaptureSheet& spreadsheet) : spreadsheet_(spreadsheet) {}
    void writeRow(int row, int firstColumn, std::span<const CellValue> values) override;

private:
    tabwright::CaptureSheet& spreadsheet_;
};

}  // namespace tabwright
