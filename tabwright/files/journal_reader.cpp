#include "tabwright/files/journal_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>

#include "tabwright/capture/journal_reads.h"

namespace tabwright {

namespace {

std::runtime_error cannotRead(const std::string& path, int error)
{
    return std::runtime_error("cannot read " + path + ": " + std::strerror(error));
}

std::optional<std::string> fileText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    std::ostringstream text;
    text << file.rdbuf();
    if (file.bad())
        return std::nullopt;
    return std::move(text).str();
}

}  // namespace

FileText::FileText(const std::string& path) : path_(path)
{
    descriptor_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor_ < 0)
        throw cannotRead(path, errno);
    struct stat status {};
    if (::fstat(descriptor_, &status) != 0) {
        const int error = errno;
        ::close(descriptor_);
        throw cannotRead(path, error);
    }
    size_ = status.st_size;
}

FileText::~FileText()
{
    ::close(descriptor_);
}

std::size_t FileText::readAt(std::int64_t offset, std::size_t count, std::string& into)
{
    const std::size_t before = into.size();
    into.resize(before + count);
    std::size_t got = 0;
    while (got < count) {
        const ssize_t read = ::pread(descriptor_, into.data() + before + got, count - got,
                                     static_cast<off_t>(offset) + static_cast<off_t>(got));
        if (read < 0 && errno == EINTR)
            continue;
        if (read < 0) {
            const int error = errno;
            into.resize(before);
            throw cannotRead(path_, error);
        }
        if (read == 0)
            break;
        got += static_cast<std::size_t>(read);
    }
    into.resize(before + got);
    return got;
}

JournalFiles readJournalFiles(const std::string& journalPath)
{
    JournalFiles files{std::make_shared<FileText>(journalPath), std::nullopt};
    const std::string readsPath = journalPath + std::string(kReadsSuffix);
    std::error_code error;
    if (const auto type = std::filesystem::status(readsPath, error).type();
        type != std::filesystem::file_type::regular && type != std::filesystem::file_type::not_found) {
        files.readsUnreadable = error ? error.message() : "not a plain file";
        return files;
    }
    errno = 0;
    files.reads = fileText(readsPath);
    if (!files.reads && errno != ENOENT)
        files.readsUnreadable = errno != 0 ? std::strerror(errno) : "read error";
    return files;
}

}  // namespace tabwright
