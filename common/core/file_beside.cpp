#include "common/core/file_beside.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <random>
#include <system_error>

namespace common {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void fail(int error, const std::string& path)
{
    throw std::system_error(error, std::generic_category(), path);
}

// The rights a file replacing `target` starts with: the target's own, or those of any
// new file (the process's mask applies).
mode_t rightsFor(const std::string& target)
{
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode))
        return existing.st_mode & 07777;
    return 0666;
}

}  // namespace

FileBeside::FileBeside(std::string target) : target_(std::move(target))
{
    const fs::path place = target_;
    const fs::path folder = place.has_parent_path() ? place.parent_path() : fs::path(".");
    const mode_t rights = rightsFor(target_);
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = ".";
        name += place.stem().string();
        name += '.';
        name += std::to_string(random() % 1'000'000);
        name += ".tmp";
        name += place.extension().string();
        path_ = (folder / name).string();
        const int descriptor =
            ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, rights);
        if (descriptor >= 0) {
            // The mask may have taken rights away that a replaced file had.
            const bool kept = (rights == 0666) || ::fchmod(descriptor, rights) == 0;
            const int error = errno;
            ::close(descriptor);
            if (!kept) {
                ::unlink(path_.c_str());
                fail(error, path_);
            }
            return;
        }
        if (errno != EEXIST)
            fail(errno, target_);
    }
    fail(EEXIST, target_);
}

FileBeside::~FileBeside()
{
    if (!placed_)
        ::unlink(path_.c_str());
}

void FileBeside::sync() const
{
    const int descriptor = ::open(path_.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (descriptor < 0)
        fail(errno, path_);
    const bool synced = ::fsync(descriptor) == 0;
    const int error = errno;
    ::close(descriptor);
    if (!synced)
        fail(error, path_);
}

void FileBeside::moveOver(const std::string& name)
{
    sync();
    if (::rename(path_.c_str(), name.c_str()) != 0)
        fail(errno, name);
    placed_ = true;
}

bool FileBeside::claim(const std::string& name)
{
    sync();
    if (::link(path_.c_str(), name.c_str()) != 0) {
        if (errno == EEXIST)
            return false;
        fail(errno, name);
    }
    ::unlink(path_.c_str());
    placed_ = true;
    return true;
}

std::string numberedName(const std::string& path, int number)
{
    const fs::path place = path;
    std::string name = place.stem().string();
    name += '-';
    name += std::to_string(number);
    name += place.extension().string();
    return (place.parent_path() / name).string();
}

}  // namespace common
