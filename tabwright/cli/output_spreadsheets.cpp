#include "tabwright/cli/output_spreadsheets.h"

#include "tabwright/capture/sheet_limits.h"
#include "tabwright/cli/capture_options.h"

namespace tabwright {

OutputSpreadsheets::OutputSpreadsheets(const SettingsStore& settings, const std::string& outputPath)
    : calcFactory_(settings),
      calc_(calcFactory_),
      csv_(outputPath),
      csvOutput_(kindOfOutput(outputPath) == OutputKind::Csv)
{
    calcFactory_.saveAs(sheetLimitsFor(outputPath));
}

}  // namespace tabwright
