#pragma once

#include <string>

#include "tabwright/calc/calc_spreadsheet_factory.h"
#include "tabwright/cli/csv_spreadsheet.h"
#include "tabwright/cli/one_off_workbooks.h"

namespace tabwright {

// The spreadsheets a command line writes its output through, chosen by the output's
// extension: a Calc workbook saved in that file's format, its working copies removed once
// the output is saved; or, for a .csv output, a table in memory.
class OutputSpreadsheets {
public:
    // `settings` outlives this object.
    OutputSpreadsheets(const SettingsStore& settings, const std::string& outputPath);

    SpreadsheetFactory& factory() { return csvOutput_ ? static_cast<SpreadsheetFactory&>(csv_) : calc_; }
    // Removes the Calc working copies made so far; for after the application has quit.
    void removeWorkingCopies() { calc_.removeWorkingCopies(); }

private:
    CalcSpreadsheetFactory calcFactory_;
    OneOffWorkbooks calc_;
    CsvSpreadsheetFactory csv_;
    bool csvOutput_;
};

}  // namespace tabwright
