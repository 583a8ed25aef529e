#include "tabwright/capture/workbook_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>

namespace fs = std::filesystem;

namespace tabwright {

namespace {

// The data folder the build installs the template into.
#ifndef TABWRIGHT_DATA_DIR
#define TABWRIGHT_DATA_DIR "/usr/local/share/tabwright"
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

const std::vector<std::string>& personalWorkbookNames()
{
    static const std::vector<std::string> names{"Personal.ods", "Personal.xls"};
    return names;
}

std::string installedDataFolder()
{
    return TABWRIGHT_DATA_DIR;
}

WorkbookPlaces defaultWorkbookPlaces()
{
    std::error_code error;
    std::string current = fs::current_path(error).string();
    return WorkbookPlaces{{current.empty() ? "." : current, TABWRIGHT_DATA_DIR}, userTemporaryFolder()};
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

std::optional<std::string> findTemplate(const std::vector<std::string>& folders)
{
    for (const std::string& folder : folders) {
        for (const std::string& name : templateNames()) {
            const fs::path source = fs::path(folder) / name;
            if (isFile(source))
                return source.string();
        }
    }
    return std::nullopt;
}

std::string prepareWorkingCopy(const WorkbookPlaces& places)
{
    const fs::path working(places.workingFolder);
    std::error_code ignored;
    fs::create_directories(working, ignored);
    if (const std::optional<std::string> source = findTemplate(places.templateFolders)) {
        const fs::path name = fs::path(*source).filename();
        fs::copy_file(*source, working / name, fs::copy_options::overwrite_existing, ignored);
        return (working / name).string();
    }
    for (const std::string& name : templateNames()) {
        if (isFile(working / name))
            return (working / name).string();
    }
    return (working / templateNames().front()).string();
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
