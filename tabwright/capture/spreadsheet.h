#pragma once

#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

#include "tabwright/capture/cell_value.h"
#include "tabwright/capture/sheet_limits.h"

namespace tabwright {

// Why a spreadsheet call failed. `Gone` means the workbook's window was closed, `Ended`
// that the application's process is no more (killed, crashed): the user closed the one,
// not the other. `MacroRefused`: the workbook's macros are not run, its template not being
// trusted. `Full`: the workbook holds all its format can save; writing more never succeeds.
enum class SpreadsheetFailure { Failed, Gone, MacroNotFound, MacroFailed, MacroRefused, Ended, Full };

class SpreadsheetError : public std::runtime_error {
public:
    SpreadsheetError(SpreadsheetFailure failure, const std::string& what)
        : std::runtime_error(what), failure_(failure)
    {
    }
    SpreadsheetFailure failure() const { return failure_; }

private:
    SpreadsheetFailure failure_;
};

// The capture workbook's sheet: the cells a capture run writes, the workbook's name and a
// saved copy. Every operation throws SpreadsheetError when it fails. Rows and columns count
// from 1.
class CaptureSheet {
public:
    virtual ~CaptureSheet() = default;

    // Write one cell of the capture workbook's active sheet.
    virtual void writeText(int row, int column, std::string_view text) = 0;
    virtual void writeNumber(int row, int column, double value) = 0;
    // Writes `values` into `row`, the first into `firstColumn`, the others to its right;
    // the cells are the same as one writeText or writeNumber per value gives. This one
    // writes cell by cell; a sheet that fills a range in one call overrides it.
    virtual void writeRow(int row, int firstColumn, std::span<const CellValue> values);
    // Writes the rows in order, as one writeRow each does; a sheet may join rows that
    // follow one another into fewer calls. On a failure the rows before the failing call
    // are written, and none after it.
    virtual void writeRows(std::span<const RowCells> rows);
    // Whether writeRows joins rows into fewer calls than writeRow makes, so that gathering
    // rows for it pays.
    virtual bool joinsRows() const { return false; }
    // The capture workbook's name: also the probe that fails once the workbook or the
    // application holding it is gone.
    virtual std::string workbookName() = 0;
    // Saves a copy of the capture workbook as `path`, in the format its extension names
    // (.ods, .xlsx, .xls; .csv where the sheet is kept as CSV), replacing a file there.
    virtual void saveWorkbookAs(const std::string& path) = 0;
    // What one sheet holds in the format the workbook is to be saved in: the capture cuts
    // its lines there. Rows past a sheet's last go on in the next sheet.
    virtual SheetLimits limits() const = 0;
};

// The spreadsheet application that shows the capture workbook to the user, in the order
// a capture run uses it. Every operation throws SpreadsheetError when it fails.
class SpreadsheetApplication {
public:
    virtual ~SpreadsheetApplication() = default;

    // Starts a new application instance, invisible until makeVisible. An instance
    // started earlier is left running, untouched, for the user.
    virtual void newInstance() = 0;
    // The folder where the user's personal macro workbook lives.
    virtual std::string startupPath() = 0;
    // Whether a file exists at `path`; throws when that cannot be told.
    virtual bool personalWorkbookExists(const std::string& path) = 0;
    // Opens the personal macro workbook; it is not kept as the capture workbook.
    virtual void openPersonalWorkbook(const std::string& path) = 0;
    // Opens the working copy; it becomes the capture workbook and the active one.
    virtual void openCaptureWorkbook(const std::string& path) = 0;
    virtual void makeVisible() = 0;
    // Whether the capture workbook's window follows the newest row written, as a terminal
    // follows its output (on until told otherwise).
    virtual void followNewestRow(bool follow) { (void)follow; }
    // Runs the macro "workbook!Name" (or a bare "Name").
    virtual void runMacro(std::string_view macro) = 0;
    // Ends the instance; never saves the capture workbook itself.
    virtual void quit() = 0;
};

}  // namespace tabwright
