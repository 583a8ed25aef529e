#include "tabwright/calc/calc_spreadsheet_factory.h"

#include <algorithm>
#include <filesystem>
#include <utility>

#include <QDir>

#include "tabwright/calc/calc_spreadsheet.h"
#include "tabwright/capture/capture_settings.h"
#include "tabwright/files/ini_settings_store.h"
#include "tabwright/capture/log_categories.h"
#include "tabwright/capture/program_identity.h"
#include "tabwright/capture/trusted_folders.h"
#include "tabwright/files/workbook_files.h"

namespace tabwright {

// The build folder and the source tree's data folder, compiled in: a program run from its
// build finds the template there.
#ifndef TABWRIGHT_BUILD_DIR
#define TABWRIGHT_BUILD_DIR ""
#endif
#ifndef TABWRIGHT_SOURCE_DATA_DIR
#define TABWRIGHT_SOURCE_DATA_DIR ""
#endif

namespace {

// The source tree's data folder when the running program lies in its build folder, else "".
std::string sourceDataFolderOfThisBuild()
{
    std::error_code error;
    const std::string program = std::filesystem::read_symlink("/proc/self/exe", error).string();
    return error ? std::string()
                 : buildTreeDataFolder(program, TABWRIGHT_BUILD_DIR, TABWRIGHT_SOURCE_DATA_DIR);
}

}  // namespace

CalcSpreadsheetFactory::CalcSpreadsheetFactory(const SettingsStore& settings,
                                               std::vector<std::string> extraTemplateFolders)
    : settings_(settings), extraTemplateFolders_(std::move(extraTemplateFolders))
{
    if (std::string sourceData = sourceDataFolderOfThisBuild(); !sourceData.empty())
        extraTemplateFolders_.insert(extraTemplateFolders_.begin(), std::move(sourceData));
}

CaptureSpreadsheet CalcSpreadsheetFactory::makeSpreadsheet()
{
    CalcOptions options = defaultCalcOptions();
    {
        const std::lock_guard lock(trust_);
        options.captureMacrosTrusted = untrustedReason_.empty();
        options.untrustedReason = untrustedReason_;
    }
    options.sheetLimits = sheetLimits_;
    return applicationWithSheet(std::make_shared<CalcSpreadsheet>(std::move(options)));
}

std::string CalcSpreadsheetFactory::prepareWorkingCopy(const std::string& runName)
{
    WorkbookPlaces places = defaultWorkbookPlaces();
    places.templateFolders.insert(places.templateFolders.end(), extraTemplateFolders_.begin(),
                                  extraTemplateFolders_.end());
    const std::string source = templateIn(places.templateFolders);

    const std::string configuration = defaultStartupFolder();
    std::vector<std::string> trusted = extraTemplateFolders_;
    trusted.push_back(installedDataFolder());
    trusted.push_back(configuration);
    TrustedFolderList listed =
        trustedFolderList(readTrustedFolders(settings_), QDir::homePath().toStdString());
    trusted.insert(trusted.end(), listed.folders.begin(), listed.folders.end());
    std::string warnings;
    for (const std::string& warning : listed.warnings) {
        qCWarning(workbookLog).noquote() << QString::fromStdString(warning);
        warnings += " " + warning;
    }
    const bool trustedSource = std::any_of(trusted.begin(), trusted.end(),
                                           [&](const std::string& folder) { return liesIn(source, folder); });
    const std::lock_guard lock(trust_);
    untrustedReason_.clear();
    if (!trustedSource)
        untrustedReason_ = "the template " + source +
                           " is not in a trusted folder, so its macros are disabled. To trust its folder, "
                           "add it to TrustedFolders in the [Macros] section of " +
                           IniSettingsStore::fileOf(kProgramTitle) +
                           " (absolute folders separated by ':'), or put the template in " + configuration +
                           "." + warnings;
    logInfo(workbookLog(),
            "template " + source + (trustedSource ? " (macros trusted)" : " (macros disabled)"));
    return copyTemplate(source, places.workingFolder, runName);
}

}  // namespace tabwright
