#include "logfetch/convert/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <exception>
#include <filesystem>
#include <system_error>
#include <utility>

#include "logfetch/convert/conversion_error.h"

namespace logfetch {

namespace {

constexpr std::size_t kStreamBuffer = 1 << 16;

// The new file beside `place` that a report is written to; none where `place` is a device.
std::optional<common::FileBeside> besideUnlessDevice(const std::string& path, const std::string& place,
                                                     bool device)
{
    if (device)
        return std::nullopt;
    try {
        return std::optional<common::FileBeside>(std::in_place, place);
    } catch (const std::system_error& error) {
        throw ConversionError::fromErrno(error.code().value(), path);
    }
}

// Opens a .BIN for reading. Only a regular file is a data log: opening
// does not wait (a FIFO would wait for a writer), and a folder, a device
// (also behind a link) or a FIFO is refused with its reason.
std::FILE* openRegularFile(const std::string& path)
{
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        throw ConversionError::fromErrno(errno, path);
    struct stat info {};
    if (::fstat(descriptor, &info) != 0) {
        const int error = errno;
        ::close(descriptor);
        throw ConversionError::fromErrno(error, path);
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(descriptor);
        if (S_ISDIR(info.st_mode))
            throw ConversionError::fromErrno(EISDIR, path);
        throw ConversionError::notARegularFile(path);
    }
    // Reads of a regular file never wait; the flag is dropped all the same.
    ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    std::FILE* file = ::fdopen(descriptor, "rb");
    if (file == nullptr) {
        const int error = errno;
        ::close(descriptor);
        throw ConversionError::fromErrno(error, path);
    }
    std::setvbuf(file, nullptr, _IOFBF, kStreamBuffer);
    return file;
}

}  // namespace

FileByteSource::FileByteSource(const std::string& path) : path_(path), file_(openRegularFile(path))
{
    struct stat info {};
    ::fstat(fileno(file_), &info);
    length_ = info.st_size;
}

FileByteSource::~FileByteSource()
{
    std::fclose(file_);
}

int FileByteSource::next()
{
    const int byte = getc_unlocked(file_);
    if (byte == EOF && std::ferror(file_))
        throw ConversionError::fromErrno(errno, path_);
    return byte == EOF ? kEnd : byte;
}

FileLineSink::FileLineSink(const std::string& path, std::string shownPath)
    : path_(std::move(shownPath)), file_(std::fopen(path.c_str(), "wb"))
{
    if (file_ == nullptr)
        throw ConversionError::fromErrno(errno, path_);
    std::setvbuf(file_, nullptr, _IOFBF, kStreamBuffer);
}

FileLineSink::~FileLineSink()
{
    if (file_ != nullptr)
        std::fclose(file_);
}

void FileLineSink::writeLine(std::string_view line)
{
    if (fwrite_unlocked(line.data(), 1, line.size(), file_) != line.size() ||
        fwrite_unlocked("\r\n", 1, 2, file_) != 2)
        throw ConversionError::fromErrno(errno, path_);
}

void FileLineSink::close()
{
    if (file_ == nullptr)
        return;
    std::FILE* file = file_;
    file_ = nullptr;
    if (std::fclose(file) != 0)
        throw ConversionError::fromErrno(errno, path_);
}

std::string ReportFile::placeOf(const std::string& path)
{
    std::error_code error;
    if (std::filesystem::is_symlink(std::filesystem::symlink_status(path, error)))
        return std::filesystem::weakly_canonical(path, error).string();
    return path;
}

bool ReportFile::isDevice(const std::string& place)
{
    struct stat info {};
    return ::stat(place.c_str(), &info) == 0 && (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode));
}

ReportFile::ReportFile(const std::string& path)
    : path_(path),
      place_(placeOf(path)),
      beside_(besideUnlessDevice(path, place_, isDevice(place_))),
      sink_(beside_ ? beside_->path() : place_, path)
{
}

void ReportFile::complete()
{
    sink_.close();
    if (!beside_)
        return;
    try {
        beside_->replaceTarget();
    } catch (const std::system_error& error) {
        throw ConversionError::fromErrno(error.code().value(), path_);
    }
}

void ReportFile::keepWhereNoneWas()
{
    try {
        sink_.close();
        if (beside_)
            beside_->claim(place_);
    } catch (const std::exception&) {
        // The conversion has failed already and says why; an earlier report is untouched.
    }
}

}  // namespace logfetch
