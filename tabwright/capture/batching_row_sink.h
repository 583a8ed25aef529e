#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "tabwright/capture/row_sink.h"
#include "tabwright/capture/spreadsheet.h"

namespace tabwright {

// Gathers the rows of a slice of lines and writes them with one CaptureSheet::writeRows,
// so that a spreadsheet that can fill a range of rows at once needs one call where
// writing cell by cell took one per cell. A sheet that joins no rows is given each row at
// once instead. The slice is full at `cellsPerSlice` cells.
class BatchingRowSink : public RowSink {
public:
    BatchingRowSink(CaptureSheet& spreadsheet, std::size_t cellsPerSlice)
        : spreadsheet_(spreadsheet), cellsPerSlice_(cellsPerSlice), gathers_(spreadsheet.joinsRows())
    {
    }

    void writeRow(int row, int firstColumn, std::span<const CellValue> values) override;
    bool sliceFull() const override { return cells_.size() + cellsPassedOn_ >= cellsPerSlice_; }
    void flush() override;

    // Cells handed on by the writes that succeeded.
    std::size_t cellsWritten() const { return cellsWritten_; }

private:
    // A gathered cell: a number, or text kept in text_ (whose storage may move).
    struct Cell {
        double number;
        std::size_t textStart;
        std::size_t textSize;
        bool isText;
    };
    struct Row {
        int row;
        int firstColumn;
        std::size_t firstCell;
        std::size_t cellCount;
    };
    void clear();

    CaptureSheet& spreadsheet_;
    std::size_t cellsPerSlice_;
    bool gathers_;
    std::size_t cellsPassedOn_ = 0;  // the slice's cells written at once (gathers_ false)
    std::string text_;
    std::vector<Cell> cells_;
    std::vector<Row> rows_;
    std::size_t cellsWritten_ = 0;
};

}  // namespace tabwright
