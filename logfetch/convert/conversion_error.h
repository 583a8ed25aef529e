#pragma once

#include <stdexcept>
#include <string>

namespace logfetch {

// A failure that ends a conversion: a file that cannot be read or written, a
// header cut short, a stamp that is no date. Number and description go into
// the user's message.
class ConversionError : public std::runtime_error {
public:
    ConversionError(int number, const std::string& description, bool fileSystemFailure = false)
        : std::runtime_error(description), number_(number), fileSystemFailure_(fileSystemFailure)
    {
    }

    int number() const { return number_; }
    // Whether a file or folder failed (missing, refused, full, not a file) rather than the
    // data log's content.
    bool isFileSystemFailure() const { return fileSystemFailure_; }
    std::string description() const { return what(); }

    // The failure of a file operation, from the system's error code.
    static ConversionError fromErrno(int errorCode, const std::string& path);
    // A .BIN that is a device, a FIFO or a socket, not a file.
    static ConversionError notARegularFile(const std::string& path);
    // The file ended inside a header; part names it ("the file header").
    static ConversionError cutShort(const std::string& part);
    static ConversionError invalidStamp(const std::string& which, const std::string& text);

private:
    int number_;
    bool fileSystemFailure_;
};

}  // namespace logfetch
