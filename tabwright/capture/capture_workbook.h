#pragma once

#include <string>
#include <string_view>

#include "common/core/prompter.h"
#include "tabwright/capture/spreadsheet.h"
#include "tabwright/capture/spreadsheet_factory.h"

namespace tabwright {

// The reasons Start gives when the working copy or the spreadsheet cannot be had, each
// followed by ": " and the cause.
inline constexpr std::string_view kNoWorkingCopyText = "The working copy of the template cannot be placed";
inline constexpr std::string_view kNoSpreadsheetText = "LibreOffice Calc cannot be used";

// Whether Start's workbook step opened the capture workbook, and why not.
struct WorkbookOpening {
    bool opened = false;
    std::string reason;  // for the user; empty when opened
    explicit operator bool() const { return opened; }
};

// Start's workbook step: a new instance, the personal macro workbook when there is one,
// the working copy as the capture workbook, then the instance made visible. False when
// Start must fail with "MS Excel not available"; an instance already created stays
// running. Only the personal workbook's steps may fail without failing Start.
WorkbookOpening openCaptureWorkbook(SpreadsheetApplication& spreadsheet, const std::string& workingCopy);

// A new spreadsheet with a fresh copy of the template as its capture workbook, as Start
// opens one. `spreadsheet` is empty when none could be made; `opened` is false when Start
// must fail (an instance already made stays running, for the caller to quit).
struct FreshWorkbook {
    CaptureSpreadsheet spreadsheet;
    std::string workingCopy;
    bool opened = false;
    std::string reason;  // why not, for the user; empty when opened
};
// `runName` names the working copy; `followNewestRow` is passed to the application before
// the workbook opens.
FreshWorkbook openFreshWorkbook(SpreadsheetFactory& spreadsheets, const std::string& runName,
                                bool followNewestRow = true);

// Stop's macro step: runs "workbook!name", the name exactly as typed. A macro that is not
// found or fails is told to the user; a workbook or instance that is gone is left to the
// caller (the SpreadsheetError is passed on). Returns whether the macro ran.
bool runEndOfRunMacro(SpreadsheetApplication& spreadsheet, std::string_view workbook, std::string_view name,
                      common::Prompter& prompter);

}  // namespace tabwright
