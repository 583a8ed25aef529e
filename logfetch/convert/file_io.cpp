#include "logfetch/convert/file_io.h"

#include <sys/stat.h>

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

}  // namespace

FileByteSource::FileByteSource(const std::string& path) : path_(path), file_(openOrThrow(path, "rb"))
{
    struct stat info {};
    if (fstat(fileno(file_), &info) != 0 || !S_ISREG(info.st_mode)) {
        const int error = S_ISDIR(info.st_mode) ? EISDIR : errno;
        std::fclose(file_);
        throw ConversionError::fromErrno(error, path);
    }
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
