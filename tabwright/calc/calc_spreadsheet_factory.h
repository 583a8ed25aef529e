#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tabwright/capture/spreadsheet_factory.h"

namespace tabwright {

// Each Start's spreadsheet application is a new CalcSpreadsheet with the per-user defaults;
// the template is looked for in the current folder, the installed data folder, then the
// source tree's data folder (so the program runs from its build), then
// `extraTemplateFolders`.
class CalcSpreadsheetFactory : public SpreadsheetFactory {
public:
    explicit CalcSpreadsheetFactory(std::vector<std::string> extraTemplateFolders = {});

    CaptureSpreadsheet makeSpreadsheet() override;
    std::string prepareWorkingCopy() override;

private:
    std::vector<std::string> extraTemplateFolders_;
};

}  // namespace tabwright
