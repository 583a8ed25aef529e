#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "tabwright/capture/settings_store.h"
#include "tabwright/capture/spreadsheet_factory.h"

namespace tabwright {

// Each Start's spreadsheet application is a new CalcSpreadsheet with the per-user defaults;
// the template is looked for in the current folder, the installed data folder, then, for a
// program run from its build, the source tree's data folder, then `extraTemplateFolders`.
//
// The capture workbook's macros run only when its template came from a trusted folder:
// the installed data folder (and the source tree's for a program run from its build),
// `extraTemplateFolders`, the user's configuration folder (~/.config/Tabwright), and the
// absolute folders the user lists in TrustedFolders of the [Macros] section of
// Tabwright.ini (separated by ':'), each with the folders inside it. A template from
// anywhere else (a download folder, a USB stick) opens with its macros disabled, and the
// end-of-run macro is refused.
class CalcSpreadsheetFactory : public SpreadsheetFactory {
public:
    // `settings` holds the trusted folders, read again at every Start; it outlives the factory.
    explicit CalcSpreadsheetFactory(const SettingsStore& settings,
                                    std::vector<std::string> extraTemplateFolders = {});

    CaptureSpreadsheet makeSpreadsheet() override;
    // Searches the template once, decides from that one file whether its macros may run,
    // and copies it. Throws std::runtime_error naming the folders searched when there is
    // none, before any application starts.
    std::string prepareWorkingCopy(const std::string& runName) override;
    // The format the workbooks are to be saved in, whose limits their sheets keep (.ods's
    // until told).
    void saveAs(const SheetLimits& format) { sheetLimits_ = format; }

private:
    const SettingsStore& settings_;
    std::vector<std::string> extraTemplateFolders_;
    // Why the last working copy's macros are not run; empty when they may run.
    // A rebuild prepares its workbook in a thread of its own while a Start may prepare one.
    std::mutex trust_;
    std::string untrustedReason_;
    SheetLimits sheetLimits_ = kOdsSheet;
};

}  // namespace tabwright
