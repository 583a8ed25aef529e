#pragma once

#include <string>

namespace common {

// A new file made beside `target` (".NAME.NNNNNN.tmp.EXT" in the same folder, the
// target's extension kept last so that its format still shows) that takes the
// target's place once it is whole: a reader never sees a part-written target, and a
// failure leaves an earlier target as it was. It is created exclusively, never through a
// link, with the rights the target has (a file replaced as 0600 is never readable by
// others on the way), or the usual rights of a new file. It is removed when it goes
// unless it took a place. Failures throw std::system_error with the system's reason.
class FileBeside {
public:
    explicit FileBeside(std::string target);
    ~FileBeside();
    FileBeside(const FileBeside&) = delete;
    FileBeside& operator=(const FileBeside&) = delete;

    // The new file, there and empty until written.
    const std::string& path() const { return path_; }

    // Passes the file on to the disk and renames it over the target.
    void replaceTarget() { moveOver(target_); }
    // Passes the file on to the disk and renames it over `name` (in the same file system).
    void moveOver(const std::string& name);
    // Passes the file on to the disk and gives it the name `name` in the same folder
    // without ever replacing a file there: false (and the file still beside) when a file
    // of that name exists.
    bool claim(const std::string& name);

private:
    void sync() const;

    std::string target_;
    std::string path_;
    bool placed_ = false;
};

// The name that follows `path` when a file holds it: "run.ods" gives "run-2.ods",
// "run-3.ods" and so on for `number` 2, 3... (the extension stays last).
std::string numberedName(const std::string& path, int number);

}  // namespace common
