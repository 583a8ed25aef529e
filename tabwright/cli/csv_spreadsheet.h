#pragma once

#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "tabwright/capture/spreadsheet.h"
#include "tabwright/capture/spreadsheet_factory.h"

namespace tabwright {

// The capture's sheet in memory, written out as a CSV file at the end; for a capture
// without a spreadsheet application (so without macros). It starts empty. The sheet has
// Calc's width (16,384 columns; a write beyond it fails as it would there) and no last
// row: a long run simply goes on.
class CsvSpreadsheet final : public CaptureSheet {
public:
    // `outputName` is what workbookName answers: the name of the file to be saved.
    explicit CsvSpreadsheet(std::string outputName);

    // Empty text leaves the cell empty, as in Calc.
    void writeText(int row, int column, std::string_view text) override;
    void writeNumber(int row, int column, double value) override;
    std::string workbookName() override;

    // The sheet as CSV: one record per row from row 1 to the last used row, one field per
    // column from column 1 to the last used column, CR LF after each record, UTF-8. Text
    // in double quotes (quotes inside doubled), numbers bare in plain decimal with up to
    // 15 significant digits and never an exponent, empty cells as empty fields. An empty
    // sheet gives no record at all.
    std::string csvText() const;
    // Writes csvText() to `path` whole or not at all (see replaceFileContent). Throws
    // SpreadsheetError (Failed) "cannot save PATH: REASON".
    void saveWorkbookAs(const std::string& path) override;
    SheetLimits limits() const override { return kCsvSheet; }

private:
    using Cell = std::variant<std::monostate, std::string, double>;
    Cell& cell(int row, int column);

    std::string outputName_;
    std::vector<std::vector<Cell>> rows_;  // by row - 1, then column - 1; ragged
};

// Each Start's sheet kept in memory, to be written as CSV; no application, no template.
class CsvSpreadsheetFactory : public SpreadsheetFactory {
public:
    explicit CsvSpreadsheetFactory(std::string outputName) : outputName_(std::move(outputName)) {}
    CaptureSpreadsheet makeSpreadsheet() override
    {
        return {nullptr, std::make_shared<CsvSpreadsheet>(outputName_)};
    }
    std::string prepareWorkingCopy(const std::string&) override { return outputName_; }

private:
    std::string outputName_;
};

}  // namespace tabwright
