#pragma once

namespace testing_support {

// While it lives, the calling thread is held to the permission bits of files
// and folders even when the tests run as root (its right to override them is
// set aside), so that a read-only folder refuses new files as it does for a
// lab user. Does nothing for another user, who is held to them anyway.
class PermissionBitsHold {
public:
    PermissionBitsHold();
    ~PermissionBitsHold();
    PermissionBitsHold(const PermissionBitsHold&) = delete;
    PermissionBitsHold& operator=(const PermissionBitsHold&) = delete;

private:
    bool dropped_ = false;
};

}  // namespace testing_support
