#include "tabwright/capture/capture_journal.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

#include <QFile>
#include <QStandardPaths>

namespace tabwright {

namespace {

// Creates `folder` and the folders above it that are missing, owner-only; 0 when it is
// there, else the errno value.
int createFolder(const std::filesystem::path& folder)
{
    std::filesystem::path partial;
    for (const auto& part : folder) {
        partial /= part;
        if (::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST)
            return errno;
    }
    struct stat status {};
    if (::stat(folder.c_str(), &status) != 0)
        return errno;
    return S_ISDIR(status.st_mode) ? 0 : ENOTDIR;
}

}  // namespace

CaptureJournal::CaptureJournal(std::string dataFolder) : folder_(std::move(dataFolder) + "/journal") {}

bool CaptureJournal::open(const QDateTime& startedAt)
{
    file_.close();
    const std::string stem =
        folder_ + "/" + startedAt.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss")).toStdString();
    path_ = stem + ".txt";
    if (const int error = createFolder(folder_); error != 0) {
        file_ = JournalFile::failed(folder_, error);
        return false;
    }
    for (int number = 2;; ++number) {
        const int descriptor =
            ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0600);
        if (descriptor >= 0) {
            file_ = JournalFile(descriptor, path_);
            return true;
        }
        if (errno != EEXIST || number > 1000) {
            file_ = JournalFile::failed(path_, errno);
            return false;
        }
        path_ = stem + "-" + std::to_string(number) + ".txt";
    }
}

void CaptureJournal::append(std::string_view bytes)
{
    file_.append(bytes);
}

void CaptureJournal::flush()
{
    file_.flush();
}

void CaptureJournal::close()
{
    file_.close();
}

std::optional<std::string> CaptureJournal::takeFailure()
{
    return file_.takeFailure();
}

std::string CaptureJournal::summary() const
{
    if (!file_.hasFailed())
        return path_;
    if (!file_.created())
        return "none: " + file_.failureReason();
    return path_ + " (incomplete: " + file_.failureReason() + ")";
}

std::string perUserDataFolder()
{
    return QFile::encodeName(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).toStdString();
}

}  // namespace tabwright
