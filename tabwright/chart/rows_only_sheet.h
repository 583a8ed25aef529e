#pragma once

#include <span>
#include <string>
#include <string_view>

#include "tabwright/capture/row_sink.h"
#include "tabwright/capture/spreadsheet.h"

namespace tabwright {

// A capture sheet without a workbook: every row goes to `rows`, so a journal's replay can
// feed a chart alone. It cannot be saved.
class RowsOnlySheet : public CaptureSheet {
public:
    explicit RowsOnlySheet(RowSink& rows) : rows_(rows) {}

    void writeText(int row, int column, std::string_view text) override;
    void writeNumber(int row, int column, double value) override;
    void writeRow(int row, int firstColumn, std::span<const CellValue> values) override
    {
        rows_.writeRow(row, firstColumn, values);
    }
    std::string workbookName() override { return "readings chart"; }
    void saveWorkbookAs(const std::string& path) override;
    // A chart reads the lines as a sheet without a last row would hold them.
    SheetLimits limits() const override { return kCsvSheet; }

private:
    RowSink& rows_;
};

}  // namespace tabwright
