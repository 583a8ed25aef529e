#pragma once

#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "tabwright/capture/cell_value.h"

namespace tabwright {

// One cell of a CSV sheet: empty, text (single-byte characters) or a number.
using CsvCell = std::variant<std::monostate, std::string, double>;
using CsvRow = std::vector<CsvCell>;

// The last used column of the row (0 for none).
std::size_t usedWidth(const CsvRow& row);

// Appends the row as one record of `width` fields and its CR LF: text in double quotes
// (quotes doubled, Latin-1 as UTF-8), numbers bare in plain decimal, empty cells empty.
void appendRecord(std::string& csv, const CsvRow& row, std::size_t width);

// Appends `values` as the fields of a record, commas between, no line end: as appendRecord
// writes them, an empty text as an empty field.
void appendFields(std::string& csv, std::span<const CellValue> values);

// The rows of records that appendRecord wrote, cell for cell (a number read back gives the
// same text again).
std::vector<CsvRow> readRecords(std::string_view csv);

}  // namespace tabwright
