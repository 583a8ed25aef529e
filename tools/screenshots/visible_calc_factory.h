#pragma once

#include <memory>
#include <string>

#include "tabwright/calc/calc_spreadsheet.h"
#include "tabwright/capture/spreadsheet_factory.h"

namespace testing_support {

// A visible Calc for every Start, with the template of the source tree's data folder, that
// waits only briefly for an answer to Calc's save question when it quits.
class VisibleCalcFactory : public tabwright::SpreadsheetFactory {
public:
    tabwright::CaptureSpreadsheet makeSpreadsheet() override;
    std::string prepareWorkingCopy() override;

    // The Calc of the last Start, or none.
    std::shared_ptr<tabwright::CalcSpreadsheet> calc;
};

}  // namespace testing_support
