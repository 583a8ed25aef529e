#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tabwright {

// Where the capture workbook comes from and where its working copy goes.
struct WorkbookPlaces {
    // Searched in order for the template: the current folder, then the installed data folder.
    std::vector<std::string> templateFolders;
    // The per-user temporary folder that holds the working copy.
    std::string workingFolder;
};

// The template names accepted in each folder, in order of preference: LibreOffice's own
// format first, because only it keeps LibreOffice Basic macros.
const std::vector<std::string>& templateNames();
// The names of the personal macro workbook looked for in the start-up folder, in order.
const std::vector<std::string>& personalWorkbookNames();

// The data folder the build installs the shipped template into.
std::string installedDataFolder();

// The default places: the current folder and the installed data folder for the template,
// userTemporaryFolder() for the working copy. Throws as userTemporaryFolder() does; Start
// then fails, as it does when the working copy cannot be opened.
WorkbookPlaces defaultWorkbookPlaces();

// A folder of this user's own under the system temporary folder, created with owner-only
// rights. Throws std::runtime_error when it exists but is not a folder owned by this user
// with owner-only rights (someone else could read or plant files in it).
std::string userTemporaryFolder();

// The first template in `folders` (each searched for templateNames() in order), or none.
std::optional<std::string> findTemplate(const std::vector<std::string>& folders);

// Copies the first template found over the working copy of the same name and returns the
// working copy to open. Failures are skipped: with no template, or when the copy fails, the
// working copy left by an earlier run (if any) is returned, else the path a copy would have had.
std::string prepareWorkingCopy(const WorkbookPlaces& places);

// The lock file LibreOffice keeps beside a document it has open: ".~lock.NAME#".
std::string lockFilePath(const std::string& document);

// The last part of a path: the workbook's name.
std::string fileNameOf(const std::string& path);

}  // namespace tabwright
