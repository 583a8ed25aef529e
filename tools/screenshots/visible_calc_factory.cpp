#include "tools/screenshots/visible_calc_factory.h"

#include <chrono>

#include "tabwright/calc/calc_spreadsheet.h"
#include "tabwright/files/workbook_files.h"

namespace testing_support {

tabwright::CaptureSpreadsheet VisibleCalcFactory::makeSpreadsheet()
{
    tabwright::CalcOptions options = tabwright::defaultCalcOptions();
    options.display = tabwright::CalcOptions::Display::Visible;
    calc = std::make_shared<tabwright::CalcSpreadsheet>(options);
    return tabwright::applicationWithSheet(calc);
}

std::string VisibleCalcFactory::prepareWorkingCopy(const std::string& runName)
{
    tabwright::WorkbookPlaces places = tabwright::defaultWorkbookPlaces();
    places.templateFolders = {PROJECT_DATA_DIR};
    return tabwright::prepareWorkingCopy(places, runName);
}

}  // namespace testing_support
