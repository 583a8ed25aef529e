#include "tabwright/calc/office_profile.h"

#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <vector>

#include <QByteArray>
#include <QCryptographicHash>
#include <QString>

#include "tabwright/calc/running_processes.h"
#include "tabwright/calc/uno_link.h"

namespace tabwright {

namespace fs = std::filesystem;

namespace {

constexpr const char* kSettings = R"(<?xml version="1.0" encoding="UTF-8"?>
<oor:items xmlns:oor="http://openoffice.org/2001/registry" xmlns:xs="http://www.w3.org/2001/XMLSchema" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
<item oor:path="/org.openoffice.Office.Common/Misc"><prop oor:name="ShowTipOfTheDay" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Office.Common/Misc"><prop oor:name="FirstRun" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Setup/Office"><prop oor:name="FirstStartWizardCompleted" oor:op="fuse"><value>true</value></prop></item>
<item oor:path="/org.openoffice.Setup/Product"><prop oor:name="ooSetupLastVersion" oor:op="fuse"><value>99.0</value></prop></item>
</oor:items>
)";

constexpr std::string_view kProfilePrefix = "instance-";
constexpr const char* kOwnerFile = "owner";
constexpr std::string_view kPipePrefix = "tabwright-";
// A profile folder younger than this may still be being filled by its program.
constexpr auto kMakingTime = std::chrono::minutes(1);

bool processRuns(pid_t process)
{
    return process > 0 && (::kill(process, 0) == 0 || errno == EPERM);
}

// Whether a profile folder may still be used: an office process runs on it, the program
// that made it still runs, or it is too new to tell.
bool inUse(const std::string& folder, const std::vector<RunningProcess>& processes)
{
    std::string profile(1, '/');
    profile += fs::path(folder).filename().string();
    for (const RunningProcess& process : processes)
        if (process.commandLine.find(profile) != std::string::npos)
            return true;
    std::ifstream owner(fs::path(folder) / kOwnerFile);
    pid_t process = 0;
    // This program makes its instances one after the other: one of its own that no
    // process uses has ended.
    if (owner >> process)
        return process != getpid() && processRuns(process);
    std::error_code error;
    const auto changed = fs::last_write_time(folder, error);
    return !error && fs::file_time_type::clock::now() - changed < kMakingTime;
}

// Why `folder` cannot hold private files: not a folder (a link counts as none), another
// user's, or open to others; nothing when it is private.
std::optional<std::string> notPrivate(const std::string& folder)
{
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0)
        return std::string("cannot be used: ") + std::strerror(errno);
    if (!S_ISDIR(info.st_mode))
        return std::string("is not a folder (a link or a file is refused)");
    if (info.st_uid != getuid())
        return "belongs to another user (" + std::to_string(info.st_uid) + ")";
    if ((info.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        return std::string("is open to other users (it must be owner-only)");
    return std::nullopt;
}

// The folders "tabwright-UID-PID-XXXXXX" that earlier runs made in `temporary`, private
// to this user; made by a program that has ended.
std::vector<std::string> earlierInstancesFolders(const fs::path& temporary, const std::string& prefix)
{
    std::vector<std::string> folders;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(temporary, error)) {
        const std::string name = entry.path().filename().string();
        if (!name.starts_with(prefix) || notPrivate(entry.path().string()))
            continue;
        const pid_t maker = static_cast<pid_t>(std::atol(name.c_str() + prefix.size()));
        if (!processRuns(maker))
            folders.push_back(entry.path().string());
    }
    return folders;
}

// A new private folder for this program's instances in the system temporary folder;
// the profiles of ended instances in the folders of ended programs go first.
std::string makeTemporaryInstancesFolder()
{
    const fs::path temporary = fs::temp_directory_path();
    const std::string prefix = "tabwright-" + std::to_string(getuid()) + "-";
    for (const std::string& earlier : earlierInstancesFolders(temporary, prefix)) {
        removeProfilesOfEndedInstances(earlier);
        std::error_code ignored;
        fs::remove(earlier, ignored);  // only when nothing is left in it
    }
    std::string pattern = (temporary / (prefix + std::to_string(getpid()) + "-XXXXXX")).string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot create a private folder in " + temporary.string() + ": " +
                                 std::strerror(errno));
    return pattern;
}

// The instances folder this program made in the system temporary folder; removed when
// the program ends, unless an instance left to the user still keeps its profile there
// (the next run removes it once that instance has ended).
class MadeInstancesFolder {
public:
    MadeInstancesFolder() : path_(makeTemporaryInstancesFolder()) {}
    ~MadeInstancesFolder()
    {
        std::error_code ignored;
        fs::remove(path_, ignored);  // only when nothing is left in it
    }
    MadeInstancesFolder(const MadeInstancesFolder&) = delete;
    MadeInstancesFolder& operator=(const MadeInstancesFolder&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

}  // namespace

std::string createProfileFolder(const std::string& parent)
{
    std::string pattern = parent + "/" + std::string(kProfilePrefix) + "XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot create a profile folder in " + parent + ": " + std::strerror(errno));
    const fs::path user = fs::path(pattern) / "user";
    std::error_code error;
    fs::create_directory(user, error);
    if (!error)
        fs::create_directory(profileTemporaryFolder(pattern), error);
    std::ofstream settings(user / "registrymodifications.xcu");
    settings << kSettings;
    settings.close();
    std::ofstream owner(fs::path(pattern) / kOwnerFile);
    owner << getpid() << '\n';
    owner.close();
    if (error || !settings || !owner)
        throw std::runtime_error("cannot write the profile folder " + pattern);
    return pattern;
}

std::string profileTemporaryFolder(const std::string& profileFolder)
{
    return profileFolder + "/tmp";
}

std::string officePipeSocket(const std::string& pipeName)
{
    return "/tmp/OSL_PIPE_" + std::to_string(getuid()) + "_" + pipeName;
}

std::string officePipeName(const std::string& profileFolder)
{
    std::string name(kPipePrefix);
    name += fs::path(profileFolder).filename().string();
    return name;
}

std::vector<std::string> officeSockets(const std::string& profileFolder)
{
    // The office names its single-instance pipe after the MD5 of its profile's URL as
    // UTF-16 text, each byte in hex without a leading zero.
    const rtl::OUString url = uno_link::fileUrl(profileFolder);
    const QByteArray digest = QCryptographicHash::hash(
        QByteArrayView(reinterpret_cast<const char*>(url.getStr()),
                       static_cast<qsizetype>(url.getLength() * sizeof(sal_Unicode))),
        QCryptographicHash::Md5);
    std::string ipcName = "SingleOfficeIPC_";
    for (const char byte : digest)
        ipcName += QString::number(static_cast<unsigned char>(byte), 16).toStdString();
    return {officePipeSocket(officePipeName(profileFolder)), officePipeSocket(ipcName)};
}

void removeProfilesOfEndedInstances(const std::string& parent)
{
    std::error_code error;
    const std::vector<RunningProcess> processes = runningProcesses();
    for (const auto& entry : fs::directory_iterator(parent, error)) {
        const std::string folder = entry.path().string();
        if (!entry.path().filename().string().starts_with(kProfilePrefix) || inUse(folder, processes))
            continue;
        std::error_code ignored;
        fs::remove_all(folder, ignored);
        for (const std::string& socket : officeSockets(folder))
            fs::remove(socket, ignored);
    }
}

std::string privateInstancesFolder()
{
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime == '/') {
        if (const auto reason = notPrivate(runtime))
            throw std::runtime_error("the runtime folder " + std::string(runtime) + " (XDG_RUNTIME_DIR) " +
                                     *reason);
        std::string folder = std::string(runtime) + "/tabwright";
        if (::mkdir(folder.c_str(), S_IRWXU) != 0 && errno != EEXIST)
            throw std::runtime_error("cannot create the folder " + folder + ": " + std::strerror(errno));
        if (const auto reason = notPrivate(folder))
            throw std::runtime_error("the folder " + folder + " " + *reason);
        removeProfilesOfEndedInstances(folder);
        return folder;
    }
    static const MadeInstancesFolder made;
    return made.path();
}

}  // namespace tabwright
