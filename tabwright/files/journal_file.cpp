#include "tabwright/files/journal_file.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>
#include <utility>

namespace tabwright {

JournalFile::JournalFile(int descriptor, std::string path)
    : descriptor_(descriptor), path_(std::move(path)), created_(descriptor >= 0)
{
    if (descriptor_ < 0)
        return;
    try {
        sync_ = std::make_unique<BackgroundSync>(descriptor_);
    } catch (const std::system_error&) {
        // No thread to spare: every flush syncs on the caller's thread instead.
    }
}

JournalFile JournalFile::failed(std::string path, int error)
{
    JournalFile file(-1, std::move(path));
    file.fail(error);
    return file;
}

JournalFile::~JournalFile()
{
    release();
}

JournalFile::JournalFile(JournalFile&& other) noexcept
    : descriptor_(std::exchange(other.descriptor_, -1)),
      sync_(std::move(other.sync_)),
      path_(std::move(other.path_)),
      unflushed_(other.unflushed_),
      failure_(std::move(other.failure_)),
      reason_(std::move(other.reason_)),
      told_(other.told_),
      created_(other.created_)
{
}

JournalFile& JournalFile::operator=(JournalFile&& other) noexcept
{
    if (this != &other) {
        release();
        descriptor_ = std::exchange(other.descriptor_, -1);
        sync_ = std::move(other.sync_);
        path_ = std::move(other.path_);
        unflushed_ = other.unflushed_;
        failure_ = std::move(other.failure_);
        reason_ = std::move(other.reason_);
        told_ = other.told_;
        created_ = other.created_;
    }
    return *this;
}

void JournalFile::release()
{
    // The sync's thread uses the descriptor until it has ended.
    sync_.reset();
    if (descriptor_ >= 0)
        ::close(std::exchange(descriptor_, -1));
}

void JournalFile::fail(int error)
{
    release();
    if (failure_)
        return;
    reason_ = std::strerror(error);
    failure_ = "The capture journal cannot be written: " + path_ + ": " + reason_;
}

std::size_t JournalFile::append(std::string_view bytes)
{
    const std::size_t size = bytes.size();
    while (descriptor_ >= 0 && !bytes.empty()) {
        const ssize_t written = ::write(descriptor_, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno != EINTR)
                fail(errno);
            continue;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
        unflushed_ = true;
    }
    return size - bytes.size();
}

void JournalFile::flush()
{
    if (descriptor_ < 0)
        return;
    if (const int error = sync_ ? sync_->takeError() : 0) {
        fail(error);
        return;
    }
    if (!unflushed_)
        return;
    unflushed_ = false;
    if (sync_)
        sync_->request();
    else
        syncNow();
}

void JournalFile::syncNow()
{
    if (const int error = syncToDisk(descriptor_))
        fail(error);
}

void JournalFile::close()
{
    if (descriptor_ < 0)
        return;
    flush();
    if (sync_) {
        if (const int error = sync_->finish())
            fail(error);
        sync_.reset();
    }
    if (descriptor_ >= 0 && ::close(std::exchange(descriptor_, -1)) != 0)
        fail(errno);
}

std::optional<std::string> JournalFile::takeFailure()
{
    if (!failure_ || told_)
        return std::nullopt;
    told_ = true;
    return failure_;
}

}  // namespace tabwright
