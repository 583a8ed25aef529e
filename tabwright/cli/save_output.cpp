#include "tabwright/cli/save_output.h"

#include <stdexcept>

#include "tabwright/files/replace_file_content.h"

namespace tabwright {

std::string saveOutput(CaptureSheet& sheet, const std::string& path, bool replace)
{
    if (replace) {
        sheet.saveWorkbookAs(path);
        return path;
    }
    try {
        return claimFileBy(path, [&sheet](const std::string& file) { sheet.saveWorkbookAs(file); });
    } catch (const SpreadsheetError&) {
        throw;
    } catch (const std::runtime_error& error) {
        throw SpreadsheetError(SpreadsheetFailure::Failed, "cannot save " + path + ": " + error.what());
    }
}

}  // namespace tabwright
