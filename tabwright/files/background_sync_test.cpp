#include "tabwright/files/background_sync.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace tabwright {
namespace {

// A descriptor that names a file but cannot be synced: every sync of it fails.
class UnsyncableDescriptor {
public:
    UnsyncableDescriptor() : descriptor_(::open(std::filesystem::temp_directory_path().c_str(), O_PATH)) {}
    ~UnsyncableDescriptor() { ::close(descriptor_); }
    UnsyncableDescriptor(const UnsyncableDescriptor&) = delete;
    UnsyncableDescriptor& operator=(const UnsyncableDescriptor&) = delete;
    int get() const { return descriptor_; }

private:
    int descriptor_;
};

TEST(BackgroundSync, AFailureOnItsThreadIsToldOnceToTheCaller)
{
    const UnsyncableDescriptor file;
    ASSERT_GE(file.get(), 0);
    BackgroundSync sync(file.get());
    sync.request();
    sync.request();
    EXPECT_EQ(sync.finish(), EBADF);  // finish waits for the requested syncs
    EXPECT_EQ(sync.takeError(), 0);
}

TEST(BackgroundSync, NothingRequestedNothingFails)
{
    const UnsyncableDescriptor file;
    BackgroundSync sync(file.get());
    EXPECT_EQ(sync.finish(), 0);
}

}  // namespace
}  // namespace tabwright
