#include "tabwright/calc/calc_spreadsheet_factory.h"

#include <utility>

#include "tabwright/calc/calc_spreadsheet.h"
#include "tabwright/capture/workbook_files.h"

namespace tabwright {

// The source tree's data folder, compiled in.
#ifndef TABWRIGHT_SOURCE_DATA_DIR
#define TABWRIGHT_SOURCE_DATA_DIR ""
#endif

CalcSpreadsheetFactory::CalcSpreadsheetFactory(std::vector<std::string> extraTemplateFolders)
    : extraTemplateFolders_(std::move(extraTemplateFolders))
{
    extraTemplateFolders_.insert(extraTemplateFolders_.begin(), TABWRIGHT_SOURCE_DATA_DIR);
}

CaptureSpreadsheet CalcSpreadsheetFactory::makeSpreadsheet()
{
    return applicationWithSheet(std::make_shared<CalcSpreadsheet>(defaultCalcOptions()));
}

std::string CalcSpreadsheetFactory::prepareWorkingCopy()
{
    WorkbookPlaces places = defaultWorkbookPlaces();
    places.templateFolders.insert(places.templateFolders.end(), extraTemplateFolders_.begin(),
                                  extraTemplateFolders_.end());
    return tabwright::prepareWorkingCopy(places);
}

}  // namespace tabwright
