#pragma once

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

// The default places: the current folder and the installed data folder for the template,
// workingCopiesFolder() for the working copies.
WorkbookPlaces defaultWorkbookPlaces();

// The installed data folder of a program at programPath: PREFIX/bin/tabwright gives
// PREFIX/share/tabwright, whatever the prefix the package was installed under.
std::string installedDataFolder(const std::string& programPath);
// The installed data folder of the running program ("" when its place cannot be read).
std::string installedDataFolder();

// The source tree's data folder `sourceDataFolder` for a program at `programPath` that lies
// in the build folder `buildFolder`, that is, one run from the build; "" for any other (an
// installed program finds and trusts only its installed data folder).
std::string buildTreeDataFolder(const std::string& programPath, const std::string& buildFolder,
                                const std::string& sourceDataFolder);

// Whether `path` is `folder` or lies in it, at any depth, links resolved. An empty folder
// holds nothing.
bool liesIn(const std::string& path, const std::string& folder);

// "Tabwright" in the user's Documents folder: the working copies survive a reboot, and the
// user finds the workbook saved with Ctrl+S there.
std::string workingCopiesFolder();

// A folder of this user's own under the system temporary folder, created with owner-only
// rights. Throws std::runtime_error when it exists but is not a folder owned by this user
// with owner-only rights (someone else could read or plant files in it).
std::string userTemporaryFolder();

// The first template in `folders`, each searched for templateNames() in order. Throws
// std::runtime_error naming the folders searched ("no template in: FOLDERS ...") when
// there is none.
std::string templateIn(const std::vector<std::string>& folders);

// Copies `source` to a new working copy in `workingFolder` named after the run, "RUN.ods"
// (or ".xls", as the template), and returns it. A name already taken (a second run in the
// same second) gets "-2", "-3", ... before the extension: the working copy of an earlier
// run, which may hold data the user saved, is never replaced. Throws std::runtime_error
// saying why when the folder cannot be made or the copy fails.
std::string copyTemplate(const std::string& source, const std::string& workingFolder,
                         const std::string& runName);

// templateIn(places.templateFolders) copied by copyTemplate into places.workingFolder.
std::string prepareWorkingCopy(const WorkbookPlaces& places, const std::string& runName);

// The lock file LibreOffice keeps beside a document it has open: ".~lock.NAME#".
std::string lockFilePath(const std::string& document);

// The last part of a path: the workbook's name.
std::string fileNameOf(const std::string& path);

}  // namespace tabwright
