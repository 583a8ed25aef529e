#include "tabwright/capture/capture_workbook.h"

#include <exception>
#include <string>
#include <utility>
#include <vector>

#include "tabwright/capture/log_categories.h"

namespace tabwright {

namespace {

// The names of the personal macro workbook looked for in the start-up folder, in order.
const std::vector<std::string>& personalWorkbookNames()
{
    static const std::vector<std::string> names{"Personal.ods", "Personal.xls"};
    return names;
}

void openPersonalWorkbook(SpreadsheetApplication& spreadsheet)
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

FreshWorkbook prepareFreshWorkbook(SpreadsheetFactory& spreadsheets, const std::string& runName,
                                   bool followNewestRow)
{
    FreshWorkbook fresh;
    try {
        fresh.workingCopy = spreadsheets.prepareWorkingCopy(runName);
    } catch (const std::exception& error) {
        fresh.reason = std::string(kNoWorkingCopyText) + ": " + error.what();
    }
    if (fresh.reason.empty()) {
        try {
            fresh.spreadsheet = spreadsheets.makeSpreadsheet();
            if (fresh.spreadsheet.application)
                fresh.spreadsheet.application->followNewestRow(followNewestRow);
        } catch (const std::exception& error) {
            fresh.spreadsheet = {};
            fresh.reason = std::string(kNoSpreadsheetText) + ": " + error.what();
        }
    }
    return fresh;
}

FreshWorkbook openFreshWorkbook(SpreadsheetFactory& spreadsheets, const std::string& runName,
                                bool followNewestRow)
{
    FreshWorkbook fresh = prepareFreshWorkbook(spreadsheets, runName, followNewestRow);
    if (fresh.reason.empty() && fresh.spreadsheet.application) {
        const WorkbookOpening opening =
            openCaptureWorkbook(*fresh.spreadsheet.application, fresh.workingCopy);
        fresh.reason = opening.reason;
    }
    fresh.opened = fresh.reason.empty();
    if (!fresh.opened)
        logInfo(workbookLog(), "No capture workbook: " + fresh.reason);
    return fresh;
}

WorkbookOpening openCaptureWorkbook(SpreadsheetApplication& spreadsheet, const std::string& workingCopy)
{
    try {
        spreadsheet.newInstance();
    } catch (const SpreadsheetError& error) {
        return {false, std::string("LibreOffice Calc did not start: ") + error.what()};
    }
    openPersonalWorkbook(spreadsheet);
    try {
        spreadsheet.openCaptureWorkbook(workingCopy);
        spreadsheet.makeVisible();
    } catch (const SpreadsheetError& error) {
        return {false, "The capture workbook " + workingCopy + " could not be opened: " + error.what()};
    }
    return {true, {}};
}

bool runEndOfRunMacro(SpreadsheetApplication& spreadsheet, std::string_view workbook, std::string_view name,
                      common::Prompter& prompter)
{
    const std::string macro = std::string(workbook) + "!" + std::string(name);
    try {
        spreadsheet.runMacro(macro);
        return true;
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
    return false;
}

}  // namespace tabwright
