#pragma once

#include <memory>
#include <string>

#include "tabwright/calc/calc_spreadsheet.h"
#include "tabwright/capture/spreadsheet_factory.h"
#include "testing/temp_folder.h"

namespace testing_support {

// A headless Calc for every Start, with its start-up, profile and working folders in
// `root`, the template copied from `templateFolder`. `calc` is the last one made. When it
// goes, the pipe sockets in /tmp of the instances a test killed go with their profiles.
class HeadlessCalcFactory : public tabwright::SpreadsheetFactory {
public:
    HeadlessCalcFactory(const TempFolder& root, std::string templateFolder);
    ~HeadlessCalcFactory() override;
    HeadlessCalcFactory(const HeadlessCalcFactory&) = delete;
    HeadlessCalcFactory& operator=(const HeadlessCalcFactory&) = delete;
    tabwright::CaptureSpreadsheet makeSpreadsheet() override;
    std::string prepareWorkingCopy(const std::string& runName) override;

    std::shared_ptr<tabwright::CalcSpreadsheet> calc;
    // Visible for a measure of what the user sees; headless unless told.
    tabwright::CalcOptions::Display display = tabwright::CalcOptions::Display::Headless;

private:
    const TempFolder& root_;
    std::string templateFolder_;
};

}  // namespace testing_support
