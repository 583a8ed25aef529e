#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace logfetch {

// Makes a download the only user of its temporary file while it runs. Every
// attempt of a download empties that file, so a second download at the same
// time (in another window or on the command line) would overwrite the first
// one's data. The lock is an exclusive lock on a small file beside the
// temporary file ("~tempidl.bin.lock"), which also names who holds it; the
// system drops the lock when its holder ends, however it ends.
class DownloadLock {
public:
    explicit DownloadLock(std::string tempFilePath);
    ~DownloadLock();
    DownloadLock(const DownloadLock&) = delete;
    DownloadLock& operator=(const DownloadLock&) = delete;

    // Takes the lock for `holder` (which program and port, as a second
    // download is told). Nothing when this download may go on; otherwise the
    // message naming the download that runs. A lock file that cannot be made
    // at all does not stop the download: the temporary file then fails too
    // and tells why.
    std::optional<std::string> take(std::string_view holder);

    static std::string lockFilePath(const std::string& tempFilePath);

private:
    std::string tempFilePath_;
    int descriptor_ = -1;
};

}  // namespace logfetch
