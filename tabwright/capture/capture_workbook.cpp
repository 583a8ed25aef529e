#include "tabwright/capture/capture_workbook.h"

#include "tabwright/capture/workbook_files.h"

namespace tabwright {

namespace {

void openPersonalWorkbook(Spreadsheet& spreadsheet)
{
    try {
        const std::string folder = spreadsheet.startupPath();
        for (const std::string& name : personalWorkbookNames()) {
            const std::string path = folder + "/" + name;
            if (spreadsheet.personalWorkbookExists(path)) {
                spreadsheet.openPersonalWorkbook(path);
                return;
            }
        }
    } catch (const SpreadsheetError&) {
        // Without its personal workbook the capture still runs.
    }
}

}  // namespace

bool openCaptureWorkbook(Spreadsheet& spreadsheet, const std::string& workingCopy)
{
    try {
        spreadsheet.newInstance();
    } catch (const SpreadsheetError&) {
        return false;
    }
    openPersonalWorkbook(spreadsheet);
    try {
        spreadsheet.openCaptureWorkbook(workingCopy);
        spreadsheet.makeVisible();
    } catch (const SpreadsheetError&) {
        return false;
    }
    return true;
}

void runEndOfRunMacro(Spreadsheet& spreadsheet, std::string_view workbook, std::string_view name,
                      common::Prompter& prompter)
{
    const std::string macro = std::string(workbook) + "!" + std::string(name);
    try {
        spreadsheet.runMacro(macro);
    } catch (const SpreadsheetError& error) {
        if (error.failure() == SpreadsheetFailure::MacroNotFound)
            prompter.showMessage(
                "The macro \"" + macro +
                "\" was not found in the capture workbook or in the personal macro workbook.");
        else if (error.failure() == SpreadsheetFailure::MacroFailed)
            prompter.showMessage("The macro \"" + macro + "\" failed: " + error.what());
        else if (error.failure() == SpreadsheetFailure::MacroRefused)
            prompter.showMessage("The macro \"" + macro + "\" was not run: " + error.what());
        else
            throw;
    }
}

}  // namespace tabwright
