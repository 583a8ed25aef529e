#include "tabwright/capture/replace_file_content.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <stdexcept>

namespace tabwright {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void fail(int error)
{
    throw std::runtime_error(std::strerror(error));
}

// A file descriptor, closed when it goes unless closed before.
class Descriptor {
public:
    explicit Descriptor(int descriptor) : descriptor_(descriptor) {}
    ~Descriptor()
    {
        if (descriptor_ >= 0)
            ::close(descriptor_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return descriptor_; }
    // Closes it, telling a failure (a delayed write error shows here).
    void close()
    {
        const int descriptor = descriptor_;
        descriptor_ = -1;
        if (::close(descriptor) != 0)
            fail(errno);
    }

private:
    int descriptor_;
};

void writeAll(int descriptor, std::string_view content)
{
    while (!content.empty()) {
        const ssize_t written = ::write(descriptor, content.data(), content.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            fail(errno);
        }
        content.remove_prefix(static_cast<std::size_t>(written));
    }
}

// A new file beside `target` with a name of its own; its path is set in `path`.
int createBeside(const fs::path& target, std::string& path)
{
    std::random_device seed;
    std::mt19937 random(seed());
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = ".";
        name += target.filename().string();
        name += '.';
        name += std::to_string(random() % 1'000'000);
        name += ".tmp";
        path = (folder / name).string();
        const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor >= 0 || errno != EEXIST)
            return descriptor;
    }
    return -1;
}

// Writes `content` into the file at `path`, which exists.
void writeFile(const std::string& path, std::string_view content)
{
    Descriptor file(::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
    if (file.get() < 0)
        fail(errno);
    writeAll(file.get(), content);
    file.close();
}

// Passes the file at `path` on to the disk.
void syncFile(const std::string& path)
{
    Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0 || ::fsync(file.get()) != 0)
        fail(errno);
    file.close();
}

}  // namespace

void replaceFileContent(const std::string& path, std::string_view content)
{
    replaceFileBy(path, [&](const std::string& file) { writeFile(file, content); });
}

void replaceFileBy(const std::string& path, const std::function<void(const std::string& file)>& write)
{
    std::error_code error;
    fs::path target = path;
    if (fs::is_symlink(fs::symlink_status(target, error)))
        target = fs::weakly_canonical(target, error);
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        fail(EISDIR);
    if (exists && !S_ISREG(existing.st_mode)) {
        // A device is written, never renamed over.
        write(target.string());
        return;
    }
    std::string temporary;
    Descriptor created(createBeside(target, temporary));
    if (created.get() < 0)
        fail(errno);
    try {
        created.close();
        write(temporary);
        // A replaced file keeps its rights.
        if (exists && ::chmod(temporary.c_str(), existing.st_mode & 07777) != 0)
            fail(errno);
        syncFile(temporary);
        if (::rename(temporary.c_str(), target.c_str()) != 0)
            fail(errno);
    } catch (...) {
        ::unlink(temporary.c_str());
        throw;
    }
}

}  // namespace tabwright
