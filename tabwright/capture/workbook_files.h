#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tabwright {

// Where the capture workbook comes from and where its working copies go.
struct WorkbookPlaces {
    // Searched in order for the template: the current folder, then the installed data folder.
    std::vector<std::string> templateFolders;
    // The folder that keeps every run's working copy.
    std::string workingFolder;
};

// The template names accepted in each folder, in order of preference: LibreOffice's own
// format first, because only it keeps LibreOffice Basic macros.
const std::vector<std::string>& templateNames();
// The names of the personal macro workbook looked for in the start-up folder, in order.
const std::vector<std::string>& personalWorkbookNames();

// The default places: the current folder and the installed data folder for the template,
// workingCopiesFolder() for the working copies.
WorkbookPlaces defaultWorkbookPlaces();

// The installed data folder of a program at programPath: PREFIX/bin/tabwright gives
// PREFIX/share/tabwright, whatever the prefix the package was installed under.
std::string installedDataFolder(const std::string& programPath);
// The installed data folder of the running program ("" when its place cannot be read).
std::string installedDataFolder();

// "Tabwright" in the user's Documents folder: the working copies survive a reboot, and the
// user finds the workbook saved with Ctrl+S there.
std::string workingCopiesFolder();

// A folder of this user's own under the system temporary folder, created with owner-only
// rights. Throws std::runtime_error when it exists but is not a folder owned by this user
// with owner-only rights (someone else could read or plant files in it).
std::string userTemporaryFolder();

// The first template in `folders` (each searched for templateNames() in order), or none.
std::optional<std::string> findTemplate(const std::vector<std::string>& folders);

// Copies the first template found to a new working copy named after the run, "RUN.ods" (or
// ".xls", as the template), and returns it. A name already taken (a second run in the same
// second) gets "-2", "-3", ... before the extension: the working copy of an earlier run, which
// may hold data the user saved, is never replaced. With no template the path a copy would
// have had is returned, and opening it fails. Throws std::runtime_error naming the folder when
// the working folder cannot be made or the copy cannot be written into it (a file in its
// place, no right to write): the spreadsheet application is not to blame for that.
std::string prepareWorkingCopy(const WorkbookPlaces& places, const std::string& runName);

// The lock file LibreOffice keeps beside a document it has open: ".~lock.NAME#".
std::string lockFilePath(const std::string& document);

// The last part of a path: the workbook's name.
std::string fileNameOf(const std::string& path);

}  // namespace tabwright
