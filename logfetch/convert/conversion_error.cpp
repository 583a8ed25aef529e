#include "logfetch/convert/conversion_error.h"

#include <cerrno>
#include <cstring>

namespace logfetch {

namespace {

// Stable numbers per kind of failure, in the numbering users of the older
// program know from its messages.
constexpr int kFileNotFound = 53;
constexpr int kDeviceIoError = 57;
constexpr int kDiskFull = 61;
constexpr int kInputPastEnd = 62;
constexpr int kPermissionDenied = 70;
constexpr int kPathAccessError = 75;
constexpr int kInvalidDateTime = 13;

int numberForErrno(int errorCode)
{
    switch (errorCode) {
    case ENOENT:
    case ENOTDIR:
        return kFileNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
        return kPermissionDenied;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return kDiskFull;
    case EIO:
        return kDeviceIoError;
    default:
        return kPathAccessError;
    }
}

}  // namespace

ConversionError ConversionError::fromErrno(int errorCode, const std::string& path)
{
    return ConversionError(numberForErrno(errorCode), std::string(std::strerror(errorCode)) + ": " + path,
                           true);
}

ConversionError ConversionError::notARegularFile(const std::string& path)
{
    return ConversionError(kPathAccessError, "Not a regular file (a device, a FIFO or a socket): " + path,
                           true);
}

ConversionError ConversionError::cutShort(const std::string& part)
{
    return ConversionError(kInputPastEnd, "Input past end of file: " + part + " is cut short");
}

ConversionError ConversionError::invalidStamp(const std::string& which, const std::string& text)
{
    return ConversionError(kInvalidDateTime, "Invalid date or time: " + which + " " + text);
}

}  // namespace logfetch
