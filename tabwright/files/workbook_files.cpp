#include "tabwright/files/workbook_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>

#include <QStandardPaths>

namespace fs = std::filesystem;

namespace tabwright {

namespace {

// Where the build installs the template, seen from the folder the program is installed in.
#ifndef TABWRIGHT_BIN_TO_DATA_DIR
#define TABWRIGHT_BIN_TO_DATA_DIR "../share/tabwright"
#endif

bool isFile(const fs::path& path)
{
    std::error_code error;
    return fs::is_regular_file(path, error);
}

}  // namespace

const std::vector<std::string>& templateNames()
{
    static const std::vector<std::string> names{"spreadsheet.ods", "spreadsheet.xls"};
    return names;
}

WorkbookPlaces defaultWorkbookPlaces()
{
    std::error_code error;
    std::string current = fs::current_path(error).string();
    return WorkbookPlaces{{current.empty() ? "." : current, installedDataFolder()}, workingCopiesFolder()};
}

std::string workingCopiesFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString() + "/Tabwright";
}

std::string installedDataFolder(const std::string& programPath)
{
    return (fs::path(programPath).parent_path() / TABWRIGHT_BIN_TO_DATA_DIR).lexically_normal().string();
}

std::string installedDataFolder()
{
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : installedDataFolder(program.string());
}

std::string buildTreeDataFolder(const std::string& programPath, const std::string& buildFolder,
                                const std::string& sourceDataFolder)
{
    return liesIn(programPath, buildFolder) ? sourceDataFolder : std::string();
}

bool liesIn(const std::string& path, const std::string& folder)
{
    if (folder.empty() || path.empty())
        return false;
    std::error_code error;
    const fs::path place = fs::weakly_canonical(folder, error);
    if (error)
        return false;
    const fs::path where = fs::weakly_canonical(path, error);
    if (error)
        return false;
    // Compared part by part, so "/data2" does not lie in "/data"; a trailing '/' adds an
    // empty last part, which is left out.
    auto placeEnd = place.end();
    if (!place.has_filename() && place.has_relative_path())
        --placeEnd;
    return std::mismatch(place.begin(), placeEnd, where.begin(), where.end()).first == placeEnd;
}

std::string userTemporaryFolder()
{
    const fs::path folder = fs::temp_directory_path() / ("tabwright-" + std::to_string(getuid()));
    if (mkdir(folder.c_str(), S_IRWXU) != 0 && errno != EEXIST)
        throw std::runtime_error("cannot create the folder " + folder.string());
    struct stat info {};
    if (lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != getuid() ||
        (info.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        throw std::runtime_error("the folder " + folder.string() +
                                 " is not a folder of this user's own with owner-only rights");
    return folder.string();
}

std::string templateIn(const std::vector<std::string>& folders)
{
    std::string searched;
    for (const std::string& folder : folders) {
        for (const std::string& name : templateNames()) {
            const fs::path source = fs::path(folder) / name;
            if (isFile(source))
                return source.string();
        }
        searched += (searched.empty() ? "" : ", ") + folder;
    }
    std::string names;
    for (const std::string& name : templateNames())
        names += (names.empty() ? "" : " or ") + name;
    throw std::runtime_error("no template in: " + searched + " (looked for " + names + ")");
}

std::string copyTemplate(const std::string& source, const std::string& workingFolder,
                         const std::string& runName)
{
    const fs::path working(workingFolder);
    std::error_code error;
    fs::create_directories(working, error);
    if (error || !fs::is_directory(working, error))
        throw std::runtime_error("cannot make the folder " + workingFolder + " for the working copies: " +
                                 (error ? error.message() : std::string("a file of that name is in its place")));
    const std::string extension = fs::path(source).extension().string();
    fs::path copy = working / (runName + extension);
    for (int taken = 2;; ++taken) {
        // copy_options::none refuses an existing file: nothing is ever replaced.
        if (fs::copy_file(source, copy, fs::copy_options::none, error))
            return copy.string();
        if (error != std::errc::file_exists)
            throw std::runtime_error("cannot copy the template " + source + " into " + workingFolder + ": " +
                                     error.message());
        copy = working / (runName + "-" + std::to_string(taken) + extension);
    }
}

std::string prepareWorkingCopy(const WorkbookPlaces& places, const std::string& runName)
{
    return copyTemplate(templateIn(places.templateFolders), places.workingFolder, runName);
}

std::string lockFilePath(const std::string& document)
{
    const fs::path path(document);
    return (path.parent_path() / (".~lock." + path.filename().string() + "#")).string();
}

std::string fileNameOf(const std::string& path)
{
    return fs::path(path).filename().string();
}

}  // namespace tabwright
