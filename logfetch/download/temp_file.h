#pragma once

#include <QFile>

#include <cstdint>
#include <string>
#include <string_view>

#include "common/core/prompter.h"

namespace logfetch {

// The name of the file a download is received into, in the program's folder.
inline constexpr char kTempFileName[] = "~tempidl.bin";

// The temporary file of a download on disk. A failure to create or write it
// is told to the user through the prompter, naming the file and the reason.
class TempFile {
public:
    TempFile(std::string path, common::Prompter& prompter);

    // Creates the file empty, discarding what it held, and opens it.
    bool restart();
    // Writes at a 0-based offset and passes the bytes on to the system.
    bool write(std::int64_t offset, std::string_view bytes);
    void close();

    const std::string& path() const { return path_; }

private:
    bool failed(const char* doing);

    std::string path_;
    common::Prompter& prompter_;
    QFile file_;
};

}  // namespace logfetch
