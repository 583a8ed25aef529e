#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "logfetch/convert/byte_source.h"
#include "logfetch/convert/line_sink.h"

// The .BIN and the reports on disk, through buffered C streams. Every failure
// throws ConversionError naming the file and what the system said.
namespace logfetch {

class FileByteSource : public ByteSource {
public:
    explicit FileByteSource(const std::string& path);
    ~FileByteSource() override;
    FileByteSource(const FileByteSource&) = delete;
    FileByteSource& operator=(const FileByteSource&) = delete;

    int next() override;
    std::int64_t length() const { return length_; }

private:
    std::string path_;
    std::FILE* file_;
    std::int64_t length_ = 0;
};

// Writes each line followed by CR LF. An existing file is replaced.
class FileLineSink : public LineSink {
public:
    explicit FileLineSink(const std::string& path);
    ~FileLineSink() override;
    FileLineSink(const FileLineSink&) = delete;
    FileLineSink& operator=(const FileLineSink&) = delete;

    void writeLine(std::string_view line) override;
    // Flushes and closes; a full disk often shows only here.
    void close();

private:
    std::string path_;
    std::FILE* file_;
};

}  // namespace logfetch
