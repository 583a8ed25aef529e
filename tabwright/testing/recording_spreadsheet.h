#pragma once

#include <map>
#include <set>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "tabwright/capture/spreadsheet.h"

namespace testing_support {

// Stands in for the spreadsheet application: records every call in order, as the
// operation's name followed by its arguments ("writeText 2 3 abc"), keeps the cells
// written, and fails the operations it is told to fail (after recording them).
// A row write is recorded in `rowWrites` ("writeRow 2 3 4": row, first column, cell
// count), fails whole when "writeRow" is told to fail, and is otherwise passed on
// cell by cell, so `calls` shows its cells as single writes.
class RecordingSpreadsheet : public tabwright::SpreadsheetApplication, public tabwright::CaptureSheet {
public:
    void newInstance() override;
    std::string startupPath() override;
    bool personalWorkbookExists(const std::string& path) override;
    void openPersonalWorkbook(const std::string& path) override;
    void openCaptureWorkbook(const std::string& path) override;
    void makeVisible() override;
    void writeText(int row, int column, std::string_view text) override;
    void writeNumber(int row, int column, double value) override;
    void writeRow(int row, int firstColumn, std::span<const tabwright::CellValue> values) override;
    bool joinsRows() const override { return joins; }
    void followNewestRow(bool follow) override { following = follow; }
    void runMacro(std::string_view macro) override;
    void quit() override;
    std::string workbookName() override;
    void saveWorkbookAs(const std::string& path) override;
    tabwright::SheetLimits limits() const override { return sheetLimits; }

    // Every later call of `operation` (its name as recorded) throws SpreadsheetError.
    void failCall(const std::string& operation,
                  tabwright::SpreadsheetFailure failure = tabwright::SpreadsheetFailure::Failed);
    // Only the next call of `operation` throws; the ones after it succeed again.
    void failNextCall(const std::string& operation,
                      tabwright::SpreadsheetFailure failure = tabwright::SpreadsheetFailure::Failed);
    void succeedCall(const std::string& operation);

    std::vector<std::string> calls;
    std::vector<std::string> rowWrites;
    std::map<std::pair<int, int>, std::variant<std::string, double>> cells;  // by (row, column)
    std::string startupFolder = "/home/user/.config/Tabwright";
    std::set<std::string> existingFiles;                        // what personalWorkbookExists finds
    std::string name = "spreadsheet.ods";                       // what workbookName answers
    bool following = true;                                      // the last followNewestRow
    tabwright::SheetLimits sheetLimits = tabwright::kOdsSheet;  // what limits answers
    bool joins = true;                                          // what joinsRows answers, as Calc's

private:
    void record(const std::string& operation, const std::string& arguments = {});
    void failIfTold(const std::string& operation);

    struct Failing {
        tabwright::SpreadsheetFailure failure;
        bool once;
    };
    std::map<std::string, Failing> failing_;
};

}  // namespace testing_support
