#pragma once

#include <memory>
#include <string>

#include "tabwright/capture/spreadsheet.h"

namespace tabwright {

// Where each Start gets its spreadsheet application and its capture workbook.
class SpreadsheetFactory {
public:
    virtual ~SpreadsheetFactory() = default;

    // A spreadsheet application of its own for one Start, no instance started yet. The run
    // keeps it until the next Start or the end; an instance it leaves open stays open for
    // the user. Throws std::exception when none can be made (Start then fails).
    virtual std::shared_ptr<Spreadsheet> makeSpreadsheet() = 0;

    // Copies the template to the working copy of the run named `runName` (its start) and
    // returns the working copy to open. Throws std::exception when there is no usable place
    // for it (Start then fails).
    virtual std::string prepareWorkingCopy(const std::string& runName) = 0;
};

}  // namespace tabwright
