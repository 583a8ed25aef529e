#pragma once

#include <span>

#include "tabwright/capture/cell_value.h"

namespace tabwright {

// Where the capture puts what it parsed: one call per row of neighbouring cells,
// so that a spreadsheet able to fill a range at once can do so.
class RowSink {
public:
    virtual ~RowSink() = default;
    // Writes `values` into `row`, the first into `firstColumn`, the others to its
    // right. Rows and columns count from 1. The texts are valid during the call
    // only. Throws tabwright::SpreadsheetError when a cell cannot be written.
    virtual void writeRow(int row, int firstColumn, std::span<const CellValue> values) = 0;

    // A sink that gathers rows says here that it holds enough: the parse ends its slice
    // after the current line and hands the rows on with flush.
    virtual bool sliceFull() const { return false; }
    // Writes the rows gathered since the last flush. Throws tabwright::SpreadsheetError;
    // then none of those rows counts as written and the sink holds nothing any more.
    virtual void flush() {}
};

}  // namespace tabwright
