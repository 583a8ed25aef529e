#pragma once

#include <string>
#include <string_view>

#include "common/core/prompter.h"
#include "tabwright/capture/spreadsheet.h"
#include "tabwright/capture/spreadsheet_factory.h"

namespace tabwright {

// The reasons Start gives when the working copy or the spreadsheet cannot be had, each
// followed by ": " and the cause.
inline constexpr std::string_view kNoWorkingCopyText = "The capture workbook cannot be made";
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
// must fail, and `reason` then says why (an instance already made stays running, for the
// caller to quit).
struct FreshWorkbook {
    CaptureSpreadsheet spreadsheet;
    std::string workingCopy;
    bool opened = false;
    std::string reason;  // why not, for the user; empty when opened
};

// The quick half of the fresh workbook, before any application starts: the working copy
// made from the template and the spreadsheet made, `followNewestRow` passed to it. Never
// `opened`; `reason` is empty when both were made, else it says what is missing (no
// template names the folders searched) and `spreadsheet` is empty.
FreshWorkbook prepareFreshWorkbook(SpreadsheetFactory& spreadsheets, const std::string& runName,
                                   bool followNewestRow);

// Both halves at once: prepareFreshWorkbook, then openCaptureWorkbook when the spreadsheet
// has an application (a sheet without one starts empty, as a fresh working copy does). The
// reason it failed is also logged under tabwright.workbook.
// `runName` names the working copy; `followNewestRow` is passed to the application before
// the workbook opens.
FreshWorkbook openFreshWorkbook(SpreadsheetFactory& spreadsheets, const std::string& runName,
                                bool followNewestRow = true);

// What a command line prints after the reason a capture workbook did not open.
inline constexpr std::string_view kCsvAdvice =
    "A .csv output needs neither LibreOffice Calc nor a template: --output NAME.csv.";

// Stop's macro step: runs "workbook!name", the name exactly as typed. A macro that is not
// found or fails is told to the user; a workbook or instance that is gone is left to the
// caller (the SpreadsheetError is passed on). Returns whether the macro ran.
bool runEndOfRunMacro(SpreadsheetApplication& spreadsheet, std::string_view workbook, std::string_view name,
                      common::Prompter& prompter);

}  // namespace tabwright
