#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "common/core/file_beside.h"

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
    explicit FileLineSink(const std::string& path) : FileLineSink(path, path) {}
    // Writes the file at `path`, naming `shownPath` in its failures.
    FileLineSink(const std::string& path, std::string shownPath);
    ~FileLineSink() override;
    FileLineSink(const FileLineSink&) = delete;
    FileLineSink& operator=(const FileLineSink&) = delete;

    void writeLine(std::string_view line) override;
    // Flushes and closes (once); a full disk often shows only here.
    void close();

private:
    std::string path_;
    std::FILE* file_;
};

// A report of a conversion: written to a new file beside its place, which it takes only
// once the conversion is complete, so that a failed conversion leaves an earlier report as
// it was. A link is followed to its file; a device there is written as it is.
class ReportFile : public LineSink {
public:
    explicit ReportFile(const std::string& path);

    void writeLine(std::string_view line) override { sink_.writeLine(line); }
    // Flushes and closes the new file (a full disk often shows only here).
    void close() { sink_.close(); }
    // The conversion is complete: the report takes its place, replacing an earlier one.
    void complete();
    // The conversion failed: what was written takes the report's place only where no
    // earlier report is; else it is dropped and the earlier report stays as it was.
    void keepWhereNoneWas();

private:
    // Follows a link at `path` to its file.
    static std::string placeOf(const std::string& path);
    static bool isDevice(const std::string& place);

    std::string path_;
    std::string place_;
    std::optional<common::FileBeside> beside_;  // none for a device
    FileLineSink sink_;
};

}  // namespace logfetch
