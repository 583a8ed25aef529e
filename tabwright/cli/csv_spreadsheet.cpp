#include "tabwright/cli/csv_spreadsheet.h"

#include <algorithm>
#include <exception>

#include "tabwright/capture/replace_file_content.h"
#include "tabwright/capture/single_tab.h"

namespace tabwright {

namespace {

// The sheet's width, as in Calc; a CSV file has no last row.
constexpr int kLastColumn = 16'384;

// A text field: single-byte (Latin-1) characters as UTF-8, in double quotes, quotes doubled.
void appendTextField(std::string& csv, std::string_view text)
{
    csv += '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"') {
            csv += "\"\"";
        } else if (byte < 0x80) {
            csv += c;
        } else {
            csv += static_cast<char>(0xC0 | (byte >> 6));
            csv += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    csv += '"';
}

}  // namespace

CsvSpreadsheet::CsvSpreadsheet(std::string outputName) : outputName_(std::move(outputName)) {}

CsvSpreadsheet::Cell& CsvSpreadsheet::cell(int row, int column)
{
    if (row < 1 || column < 1 || column > kLastColumn)
        throw SpreadsheetError(
            SpreadsheetFailure::Failed,
            "the cell (" + std::to_string(row) + ", " + std::to_string(column) + ") is outside the sheet");
    if (rows_.size() < static_cast<std::size_t>(row))
        rows_.resize(static_cast<std::size_t>(row));
    auto& cells = rows_[static_cast<std::size_t>(row) - 1];
    if (cells.size() < static_cast<std::size_t>(column))
        cells.resize(static_cast<std::size_t>(column));
    return cells[static_cast<std::size_t>(column) - 1];
}

void CsvSpreadsheet::writeText(int row, int column, std::string_view text)
{
    Cell& target = cell(row, column);
    if (text.empty())
        target = std::monostate{};
    else
        target = std::string(text);
}

void CsvSpreadsheet::writeNumber(int row, int column, double value)
{
    cell(row, column) = value;
}

std::string CsvSpreadsheet::workbookName()
{
    return outputName_;
}

std::string CsvSpreadsheet::csvText() const
{
    const auto used = [](const Cell& value) { return !std::holds_alternative<std::monostate>(value); };
    std::size_t lastRow = 0;
    std::size_t lastColumn = 0;
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        const auto& cells = rows_[row];
        const auto last = std::find_if(cells.rbegin(), cells.rend(), used);
        if (last == cells.rend())
            continue;
        lastRow = row + 1;
        lastColumn = std::max(lastColumn, static_cast<std::size_t>(cells.rend() - last));
    }
    std::string csv;
    for (std::size_t row = 0; row < lastRow; ++row) {
        const auto& cells = rows_[row];
        for (std::size_t column = 0; column < lastColumn; ++column) {
            if (column > 0)
                csv += ',';
            if (column >= cells.size())
                continue;
            if (const auto* text = std::get_if<std::string>(&cells[column]))
                appendTextField(csv, *text);
            else if (const auto* number = std::get_if<double>(&cells[column]))
                csv += plainDecimal(*number);
        }
        csv += "\r\n";
    }
    return csv;
}

void CsvSpreadsheet::saveWorkbookAs(const std::string& path)
{
    try {
        replaceFileContent(path, csvText());
    } catch (const std::exception& error) {
        throw SpreadsheetError(SpreadsheetFailure::Failed, "cannot save " + path + ": " + error.what());
    }
}

}  // namespace tabwright
