#pragma once

#include <algorithm>
#include <cstdio>
#include <deque>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "common/core/file_beside.h"
#include "tabwright/capture/spreadsheet.h"
#include "tabwright/capture/spreadsheet_factory.h"
#include "tabwright/cli/csv_records.h"

namespace tabwright {

// The capture's sheet written as a CSV file; for a capture without a spreadsheet
// application (so without macros). It starts empty. The sheet has Calc's width (16,384
// columns; a write beyond it fails as it would there) and no last row: a long run simply
// goes on.
//
// Rows go to a file beside the output as they complete (a write to a later row completes
// the rows above it), so a long run holds only the rows still open in memory; the save
// writes the rest and renames that file into place. A sheet whose writes come back to a
// row already written out (a block layout fills column after column) takes those rows back
// and is kept whole in memory from then on, as is one whose records would otherwise differ
// in width.
class CsvSpreadsheet final : public CaptureSheet {
public:
    // `outputName` is what workbookName answers: the name of the file to be saved.
    explicit CsvSpreadsheet(std::string outputName);
    ~CsvSpreadsheet() override;
    CsvSpreadsheet(const CsvSpreadsheet&) = delete;
    CsvSpreadsheet& operator=(const CsvSpreadsheet&) = delete;

    // Empty text leaves the cell empty, as in Calc.
    void writeText(int row, int column, std::string_view text) override;
    void writeNumber(int row, int column, double value) override;
    // The same cells as a write per value, with the row found and sized once.
    void writeRow(int row, int firstColumn, std::span<const CellValue> values) override;
    std::string workbookName() override;

    // The sheet as CSV: one record per row from row 1 to the last used row, one field per
    // column from column 1 to the last used column, CR LF after each record, UTF-8. Text
    // in double quotes (quotes inside doubled), numbers bare in plain decimal with up to
    // 15 significant digits and never an exponent, empty cells as empty fields. An empty
    // sheet gives no record at all.
    std::string csvText() const;
    // Writes the CSV to `path` whole or not at all (see replaceFileBy). Throws
    // SpreadsheetError (Failed) "cannot save PATH: REASON".
    void saveWorkbookAs(const std::string& path) override;
    SheetLimits limits() const override { return kCsvSheet; }

private:
    using Cell = CsvCell;
    using Row = CsvRow;

    Cell& cell(int row, int column);
    // The held row `row`, with at least `width` cells; throws for a place outside the sheet.
    Row& heldRow(int row, int column, std::size_t width);
    // The open row's cells, when there is one.
    std::optional<Row> openRowCells() const;
    // The open row becomes a held row like the others.
    void heldOpenRow();
    // The open row goes after the rows written out (it is complete).
    void writeOutOpenRow();
    // Whether the row write was kept as the open row: a whole row from column 1, the
    // next after those written out, with nothing else held.
    bool keptOpen(int row, int firstColumn, std::span<const CellValue> values);
    // Marks `column` as holding a used value.
    void noteUsed(std::size_t column) { widest_ = std::max(widest_, column); }
    // A used value is about to go into `row`: the rows above it are complete.
    void completeRowsAbove(int row);
    // A write comes back to a row written out: every row is taken back into memory.
    void takeRowsBack();
    // The rows written out so far, read back from their file.
    std::vector<Row> rowsWrittenOut() const;
    // Whether the file of rows written out, with the rows held, is the whole CSV as it is.
    bool writtenOutAsItIs(std::size_t width, bool heldRowUsed) const;
    void closeStream();
    // Writes the gathered records to the file beside the output.
    void writeOutRecords();

    std::string outputName_;
    std::deque<Row> held_;  // rows from firstHeldRow_ on, by row - firstHeldRow_, then column - 1
    // The open row: the newest row, written whole in one write and nothing else held, kept
    // as its record's fields (the common case of a line a row), until a later row completes
    // it or anything else touches it.
    std::string openRecord_;
    int openRow_ = 0;  // 0: none
    std::size_t openFields_ = 0;
    std::size_t openUsed_ = 0;       // its last used column
    std::string records_;            // records of rows written out, not yet in their file
    std::size_t streamedBytes_ = 0;  // the bytes in the file beside the output
    std::size_t writebackFrom_ = 0;  // where the system was last asked to write to the disk
    int firstHeldRow_ = 1;
    bool streaming_ = true;
    std::optional<common::FileBeside> stream_;  // the rows written out, beside the output
    std::FILE* streamFile_ = nullptr;
    std::string streamedPath_;       // where the rows written out are (after a save: the output)
    std::size_t widest_ = 0;         // the last column written with a used value, over all rows
    std::size_t firstOutWidth_ = 0;  // the width of the first and last records written out
    std::size_t lastOutWidth_ = 0;
    std::size_t outUsedWidest_ = 0;  // the last used column among the rows written out
    bool lastOutUsed_ = false;       // whether the last record written out holds a used cell
};

// Each Start's sheet, written as CSV; no application, no template.
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
