#include "tabwright/capture/capture_journal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include <QFile>
#include <QStandardPaths>

#include "tabwright/capture/journal_reads.h"

namespace tabwright {

namespace {

// A file made here and now: never one that is there, never through a link.
constexpr int kCreateNew = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_APPEND | O_CLOEXEC;

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

std::string runNameOf(const QDateTime& startedAt)
{
    return startedAt.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss")).toStdString();
}

CaptureJournal::CaptureJournal(std::string dataFolder) : folder_(std::move(dataFolder) + "/journal") {}

std::string CaptureJournal::unusedRunName(const QDateTime& startedAt) const
{
    const std::string stamp = runNameOf(startedAt);
    std::string name = stamp;
    for (int number = 2; number <= 1000 && ::access((folder_ + "/" + name + ".txt").c_str(), F_OK) == 0;
         ++number)
        name = stamp + "-" + std::to_string(number);
    return name;
}

bool CaptureJournal::open(const std::string& runName)
{
    file_.close();
    reads_.close();
    size_ = 0;
    const std::string stem = folder_ + "/" + runName;
    path_ = stem + ".txt";
    if (const int error = createFolder(folder_); error != 0) {
        file_ = JournalFile::failed(folder_, error);
        return false;
    }
    // Both files are made new and never through a link: a name whose journal or reads file
    // is there already (a file, or a link planted to another file) is passed over.
    for (int number = 2;; ++number) {
        const int descriptor = ::open(path_.c_str(), kCreateNew, 0600);
        if (descriptor >= 0) {
            file_ = JournalFile(descriptor, path_);
            if (openReads())
                return true;
            file_ = JournalFile();
            ::unlink(path_.c_str());
        } else if (errno != EEXIST || number > 1000) {
            file_ = JournalFile::failed(path_, errno);
            return false;
        }
        path_ = stem + "-" + std::to_string(number) + ".txt";
    }
}

bool CaptureJournal::openReads()
{
    const std::string readsPath = path_ + std::string(kReadsSuffix);
    const int descriptor = ::open(readsPath.c_str(), kCreateNew, 0600);
    if (descriptor < 0 && errno == EEXIST)
        return false;
    reads_ = descriptor >= 0 ? JournalFile(descriptor, readsPath) : JournalFile::failed(readsPath, errno);
    reads_.append(kReadsHeader);
    return true;
}

void CaptureJournal::append(std::string_view bytes)
{
    file_.append(bytes);
    size_ += static_cast<std::int64_t>(bytes.size());
}

void CaptureJournal::recordRead(std::int64_t written, std::int32_t milliseconds)
{
    reads_.append(readLine(size_, written, milliseconds));
}

void CaptureJournal::recordStampTime(std::int64_t lineOffset, std::int32_t milliseconds)
{
    reads_.append(clockLine(lineOffset, milliseconds));
}

void CaptureJournal::recordStop(bool unfinishedWritten)
{
    reads_.append(stopLine(size_, unfinishedWritten));
}

void CaptureJournal::flush()
{
    // The journal first: a reads file never tells of bytes the journal may not hold.
    file_.flush();
    reads_.flush();
}

void CaptureJournal::close()
{
    file_.close();
    reads_.close();
}

std::optional<std::string> CaptureJournal::takeFailure()
{
    if (auto failure = file_.takeFailure())
        return failure;
    return reads_.takeFailure();
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
