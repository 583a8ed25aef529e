#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

namespace tabwright {

// Passes what was written to `descriptor` on to the disk now; 0, or the failure (an errno
// value). A device that keeps nothing has nothing to pass on, and does not fail.
int syncToDisk(int descriptor);

// Passes what was written to an open file on to the disk on a thread of its own, so the
// one who writes never waits for the disk (a sync takes tens of milliseconds on many
// disks, whatever its size). Requests that come while a sync runs are served by one more
// sync after it. The file descriptor must stay open until finish() or destruction.
class BackgroundSync {
public:
    explicit BackgroundSync(int descriptor);
    // Waits for the sync under way, if any; a requested one that has not begun is dropped.
    ~BackgroundSync();
    BackgroundSync(const BackgroundSync&) = delete;
    BackgroundSync& operator=(const BackgroundSync&) = delete;

    // Everything written before this call reaches the disk soon.
    void request();
    // The first failure of a sync (an errno value), or 0; it is told once.
    int takeError();
    // Waits until every requested sync is done, then stops the thread; the first
    // failure not yet told (an errno value), or 0.
    int finish();

private:
    void run();

    const int descriptor_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    bool requested_ = false;
    bool syncing_ = false;
    bool stopping_ = false;
    int error_ = 0;
    std::thread thread_;
};

}  // namespace tabwright
