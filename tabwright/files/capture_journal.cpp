#include "tabwright/files/capture_journal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <utility>

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

CaptureJournal::~CaptureJournal()
{
    closeReader();
}

void CaptureJournal::closeReader()
{
    if (reader_ >= 0)
        ::close(std::exchange(reader_, -1));
}

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
    close();
    size_ = 0;
    spill_.clear();
    spillStart_ = 0;
    spilling_ = true;  // until the file is made and can be read back
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
            if (openReads()) {
                reader_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
                spilling_ = reader_ < 0;
                return true;
            }
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
    const std::size_t kept = file_.append(bytes);
    if (spilling_) {
        spill_.append(bytes);
    } else if (kept < bytes.size()) {
        // The file failed in the middle: what it did not keep waits here for the parser.
        spilling_ = true;
        spillStart_ = size_ + static_cast<std::int64_t>(kept);
        spill_.append(bytes.substr(kept));
    }
    size_ += static_cast<std::int64_t>(bytes.size());
}

std::size_t CaptureJournal::readAt(std::int64_t offset, std::size_t count, std::string& into)
{
    std::size_t got = 0;
    if (offset < spillStart_ || !spilling_) {
        const std::int64_t fileEnd = spilling_ ? spillStart_ : size_;
        const auto fromFile = static_cast<std::size_t>(std::min(static_cast<std::int64_t>(count), fileEnd - offset));
        const std::size_t before = into.size();
        into.resize(before + fromFile);
        while (got < fromFile) {
            const ssize_t read = ::pread(reader_, into.data() + before + got, fromFile - got,
                                         static_cast<off_t>(offset) + static_cast<off_t>(got));
            if (read < 0 && errno == EINTR)
                continue;
            if (read <= 0) {
                into.resize(before + got);
                throw std::runtime_error("The capture journal cannot be read back: " + path_ + ": " +
                                         (read < 0 ? std::strerror(errno) : "it is shorter than written"));
            }
            got += static_cast<std::size_t>(read);
        }
        offset += static_cast<std::int64_t>(got);
        count -= got;
    }
    if (spilling_ && count > 0 && offset < size_) {
        const auto from = static_cast<std::size_t>(offset - spillStart_);
        const std::size_t taken = std::min(count, spill_.size() - from);
        into.append(spill_, from, taken);
        got += taken;
    }
    return got;
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
    closeReader();
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
