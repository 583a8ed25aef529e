#include "tabwright/files/replace_file_content.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "common/core/file_beside.h"

namespace tabwright {

namespace fs = std::filesystem;

namespace {

// How far claimFileBy counts ("-9999") before it gives up.
constexpr int kMostNumberedNames = 9'999;

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

// Writes `content` into the file at `path`, which exists.
void writeFile(const std::string& path, std::string_view content)
{
    Descriptor file(::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
    if (file.get() < 0)
        fail(errno);
    writeAll(file.get(), content);
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
    try {
        common::FileBeside replacement(target.string());
        write(replacement.path());
        replacement.replaceTarget();
    } catch (const std::system_error& error) {
        fail(error.code().value());
    }
}

std::string claimFileBy(const std::string& path, const std::function<void(const std::string& file)>& write)
{
    try {
        common::FileBeside file(path);
        write(file.path());
        for (int number = 1; number <= kMostNumberedNames; ++number) {
            std::string name = number == 1 ? path : common::numberedName(path, number);
            if (file.claim(name))
                return name;
        }
    } catch (const std::system_error& error) {
        fail(error.code().value());
    }
    fail(EEXIST);
}

}  // namespace tabwright
