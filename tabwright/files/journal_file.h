#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "tabwright/files/background_sync.h"

namespace tabwright {

// The open file of a capture journal: every byte appended goes to the file as it is.
// Nothing here throws. The first failure closes the file and is kept as the message
// "The capture journal cannot be written: PATH: REASON"; later calls do nothing.
class JournalFile {
public:
    JournalFile() = default;
    // Takes over `descriptor`, open for writing, of the file at `path`.
    JournalFile(int descriptor, std::string path);
    // A file that could not be opened: it holds the failure of `error` (an errno value).
    static JournalFile failed(std::string path, int error);
    ~JournalFile();
    JournalFile(JournalFile&& other) noexcept;
    JournalFile& operator=(JournalFile&& other) noexcept;

    // Returns how many of `bytes` reached the file: fewer once it has failed.
    std::size_t append(std::string_view bytes);
    // Passes what was appended since the last flush on to the disk, on a thread of its
    // own: the caller does not wait for the disk. A failure of that is told at a later call.
    void flush();
    // Waits until everything appended is on the disk, then closes; a closed file takes no
    // more bytes.
    void close();

    // The failure's message the first time it is asked for; nothing after that, and
    // nothing while all is well.
    std::optional<std::string> takeFailure();
    bool hasFailed() const { return failure_.has_value(); }
    // The system's reason of the failure ("No space left on device"); empty while all is well.
    const std::string& failureReason() const { return reason_; }
    // Whether the file was made at all (a failed one may hold part of the text).
    bool created() const { return created_; }

private:
    void fail(int error);
    void release();
    // Syncs on the calling thread when no thread of its own could be started.
    void syncNow();

    int descriptor_ = -1;
    std::unique_ptr<BackgroundSync> sync_;
    std::string path_;
    bool unflushed_ = false;
    std::optional<std::string> failure_;
    std::string reason_;
    bool told_ = false;
    bool created_ = false;
};

}  // namespace tabwright
