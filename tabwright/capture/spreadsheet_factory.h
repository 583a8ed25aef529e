#pragma once

#include <memory>
#include <string>

#include "tabwright/capture/spreadsheet.h"

namespace tabwright {

// One Start's spreadsheet: the application that shows the capture workbook (none for a
// sheet kept only in memory) and the sheet the capture writes. An application that holds
// its own sheet gives both from one object.
struct CaptureSpreadsheet {
    std::shared_ptr<SpreadsheetApplication> application;
    std::shared_ptr<CaptureSheet> sheet;
};

template <typename ApplicationWithSheet>
CaptureSpreadsheet applicationWithSheet(const std::shared_ptr<ApplicationWithSheet>& both)
{
    return {both, both};
}

// Where each Start gets its spreadsheet and its capture workbook.
class SpreadsheetFactory {
public:
    virtual ~SpreadsheetFactory() = default;

    // A spreadsheet of its own for one Start, no instance started yet. The run keeps it
    // until the next Start or the end; an instance it leaves open stays open for the user.
    // Throws std::exception when none can be made (Start then fails).
    virtual CaptureSpreadsheet makeSpreadsheet() = 0;

    // Copies the template over the working copy and returns the working copy to open.
    // Throws std::exception when there is no usable place for it (Start then fails).
    virtual std::string prepareWorkingCopy() = 0;
};

}  // namespace tabwright
