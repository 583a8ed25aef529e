#include "logfetch/convert/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "logfetch/convert/conversion_error.h"

namespace logfetch {

namespace {

constexpr std::size_t kStreamBuffer = 1 << 16;

std::FILE* openOrThrow(const std::string& path, const char* mode)
{
    std::FILE* file = std::fopen(path.c_str(), mode);
    if (file == nullptr)
        throw ConversionError::fromErrno(errno, path);
    std::setvbuf(file, nullptr, _IOFBF, kStreamBuffer);
    return file;
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

FileLineSink::FileLineSink(const std::string& path) : path_(path), file_(openOrThrow(path, "wb")) {}

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
    std::FILE* file = file_;
    file_ = nullptr;
    if (std::fclose(file) != 0)
        throw ConversionError::fromErrno(errno, path_);
}

}  // namespace logfetch
