#include "tabwright/files/background_sync.h"

#include <unistd.h>

#include <cerrno>
#include <utility>

namespace tabwright {

int syncToDisk(int descriptor)
{
    return ::fdatasync(descriptor) == 0 || errno == EINVAL ? 0 : errno;
}

BackgroundSync::BackgroundSync(int descriptor) : descriptor_(descriptor), thread_([this] { run(); }) {}

BackgroundSync::~BackgroundSync()
{
    {
        const std::scoped_lock lock(mutex_);
        requested_ = false;
        stopping_ = true;
    }
    wake_.notify_one();
    if (thread_.joinable())
        thread_.join();
}

void BackgroundSync::request()
{
    {
        const std::scoped_lock lock(mutex_);
        requested_ = true;
    }
    wake_.notify_one();
}

int BackgroundSync::takeError()
{
    const std::scoped_lock lock(mutex_);
    return std::exchange(error_, 0);
}

int BackgroundSync::finish()
{
    {
        std::unique_lock lock(mutex_);
        idle_.wait(lock, [this] { return !requested_ && !syncing_; });
        stopping_ = true;
    }
    wake_.notify_one();
    if (thread_.joinable())
        thread_.join();
    return takeError();
}

void BackgroundSync::run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return requested_ || stopping_; });
        if (!requested_)
            return;
        requested_ = false;
        syncing_ = true;
        lock.unlock();
        const int error = syncToDisk(descriptor_);
        lock.lock();
        syncing_ = false;
        if (error != 0 && error_ == 0)
            error_ = error;
        idle_.notify_all();
    }
}

}  // namespace tabwright
