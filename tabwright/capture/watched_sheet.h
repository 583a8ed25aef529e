#pragma once

#include <span>
#include <string>
#include <string_view>

#include "tabwright/capture/row_sink.h"
#include "tabwright/capture/spreadsheet.h"

namespace tabwright {

// A capture sheet that writes into `sheet` and then shows `watcher` every row the sheet
// took: a row reaches the watcher once, and only after its write succeeded. Without a
// watcher it only writes.
class WatchedSheet : public CaptureSheet {
public:
    WatchedSheet(CaptureSheet& sheet, RowSink* watcher) : sheet_(sheet), watcher_(watcher) {}

    void writeText(int row, int column, std::string_view text) override;
    void writeNumber(int row, int column, double value) override;
    void writeRow(int row, int firstColumn, std::span<const CellValue> values) override;
    void writeRows(std::span<const RowCells> rows) override;
    bool joinsRows() const override { return sheet_.joinsRows(); }
    std::string workbookName() override { return sheet_.workbookName(); }
    void saveWorkbookAs(const std::string& path) override { sheet_.saveWorkbookAs(path); }
    SheetLimits limits() const override { return sheet_.limits(); }

private:
    CaptureSheet& sheet_;
    RowSink* watcher_;
};

}  // namespace tabwright
