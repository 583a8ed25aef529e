#include "tabwright/calc/calc_spreadsheet_factory.h"

#include <algorithm>
#include <filesystem>
#include <utility>

#include "tabwright/calc/calc_spreadsheet.h"
#include "tabwright/capture/ini_settings_store.h"
#include "tabwright/capture/program_identity.h"
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

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kMacros = "Macros";
constexpr std::string_view kTrustedFolders = "TrustedFolders";

// Whether `file` lies in `folder` or in a folder inside it, links resolved.
bool liesIn(const fs::path& file, const std::string& folder)
{
    if (folder.empty())
        return false;
    std::error_code error;
    const fs::path place = fs::weakly_canonical(folder, error);
    if (error)
        return false;
    const fs::path where = fs::weakly_canonical(file, error).parent_path();
    return !error &&
           std::mismatch(place.begin(), place.end(), where.begin(), where.end()).first == place.end();
}

// The folders the user trusts besides the program's own.
std::vector<std::string> userTrustedFolders(const std::string& configurationFolder)
{
    std::vector<std::string> folders{configurationFolder};
    const IniSettingsStore settings;
    const std::string list = settings.read(kProgramTitle, kMacros, kTrustedFolders).value_or("");
    for (std::size_t start = 0; start <= list.size();) {
        const std::size_t end = std::min(list.find(':', start), list.size());
        if (end > start)
            folders.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return folders;
}

}  // namespace

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
    const std::optional<std::string> source = findTemplate(places.templateFolders);
    std::vector<std::string> trusted = extraTemplateFolders_;
    trusted.push_back(installedDataFolder());
    const std::string configuration = defaultStartupFolder();
    for (std::string& folder : userTrustedFolders(configuration))
        trusted.push_back(std::move(folder));
    const bool trustedSource =
        source && std::any_of(trusted.begin(), trusted.end(),
                              [&](const std::string& folder) { return liesIn(*source, folder); });
    const std::lock_guard lock(trust_);
    untrustedReason_.clear();
    if (!trustedSource)
        untrustedReason_ = "the template " + source.value_or(std::string("(none found)")) +
                           " is not in a trusted folder, so its macros are disabled. To trust its folder, "
                           "add it to TrustedFolders in the [Macros] section of " +
                           IniSettingsStore::fileOf(kProgramTitle) +
                           " (folders separated by ':'), or put "
                           "the template in " +
                           configuration + ".";
    return tabwright::prepareWorkingCopy(places, runName);
}

}  // namespace tabwright
