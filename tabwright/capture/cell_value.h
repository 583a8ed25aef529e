#pragma once

#include <span>
#include <string_view>
#include <variant>

namespace tabwright {

// One cell's value: text as received (single-byte characters), or a number.
using CellValue = std::variant<std::string_view, double>;

// A row of neighbouring cells: `values` go into `row`, the first into `firstColumn`,
// the others to its right. Rows and columns count from 1.
struct RowCells {
    int row;
    int firstColumn;
    std::span<const CellValue> values;
};

}  // namespace tabwright
