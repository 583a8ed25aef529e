#include "tabwright/calc/calc_spreadsheet_factory.h"

#include <utility>

#include "tabwright/calc/calc_spreadsheet.h"
#include "tabwright/capture/workbook_files.h"

namespace tabwright {

CalcSpreadsheetFactory::CalcSpreadsheetFactory(std::vector<std::string> extraTemplateFolders)
    : extraTemplateFolders_(std::move(extraTemplateFolders))
{
}

std::shared_ptr<Spreadsheet> CalcSpreadsheetFactory::makeSpreadsheet()
{
    return std::make_shared<CalcSpreadsheet>(defaultCalcOptions());
}

std::string CalcSpreadsheetFactory::prepareWorkingCopy()
{
    WorkbookPlaces places = defaultWorkbookPlaces();
    places.templateFolders.insert(places.templateFolders.end(), extraTemplateFolders_.begin(),
                                  extraTemplateFolders_.end());
    return tabwright::prepareWorkingCopy(places);
}

}  // namespace tabwright
