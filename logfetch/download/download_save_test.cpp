#include "logfetch/download/download_save.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <iterator>

#include "logfetch/testing/bin_builder.h"
#include "testing/file_rights.h"
#include "testing/temp_folder.h"

namespace logfetch {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Optional;
using ::testing::StartsWith;
using testing_support::readFile;

class DownloadSaveTest : public ::testing::Test {
protected:
    DownloadSaveTest() { testing_support::writeText(temp(), kData); }
    std::string temp() const { return program.file("~tempidl.bin"); }

    const std::string kData = std::string("\xC3\xC3\xC3 data \x00\xFF", 12);
    testing_support::TempFolder program;
    testing_support::TempFolder data;
};

TEST_F(DownloadSaveTest, OnlyTheProgramFoldersTempFileIsTheTempFile)
{
    fs::create_directory_symlink(program.path(), data.file("program-link"));
    EXPECT_TRUE(isTheTempFile(program.path() + "/", "~tempidl.bin", program.path()));
    EXPECT_TRUE(isTheTempFile(program.path() + "/./", "~TEMPIDL.BIN", program.path()));
    EXPECT_TRUE(isTheTempFile(data.file("program-link") + "/", "~TempIdl.Bin", program.path()));
    EXPECT_FALSE(isTheTempFile(data.path() + "/", "~tempidl.bin", program.path()));
    EXPECT_FALSE(isTheTempFile(program.path() + "/", "tempidl.bin", program.path()));
    EXPECT_FALSE(isTheTempFile(program.file("gone") + "/", "~tempidl.bin", program.path()));
}

TEST_F(DownloadSaveTest, CopyReplacesTheTargetAndKeepsTheTempFile)
{
    EXPECT_EQ(copyDownload(temp(), data.file("new.bin")), std::nullopt);
    EXPECT_EQ(readFile(data.file("new.bin")), kData);
    testing_support::writeText(data.file("run7.bin"), "an older and much longer log");
    EXPECT_EQ(copyDownload(temp(), data.file("run7.bin")), std::nullopt);
    EXPECT_EQ(readFile(data.file("run7.bin")), kData);
    EXPECT_EQ(readFile(temp()), kData);
    EXPECT_EQ(std::distance(fs::directory_iterator(data.path()), fs::directory_iterator()), 2)
        << "no copy left beside the target";
}

// Missing and read-only folders are tried through the window.
TEST_F(DownloadSaveTest, FailedCopyTellsWhyAndCreatesNothing)
{
    fs::create_directory(data.file("folder.bin"));
    EXPECT_NE(copyDownload(temp(), data.file("folder.bin")), std::nullopt);
    EXPECT_THAT(copyDownload(program.file("missing"), data.file("run.bin")),
                Optional(StartsWith("cannot read " + program.file("missing") + ": ")));
    EXPECT_FALSE(fs::exists(data.file("run.bin")));
    // A writable file in a read-only folder is still replaced, written in place.
    fs::create_directory(data.file("ro"));
    testing_support::writeText(data.file("ro/old.bin"), "old");
    fs::permissions(data.file("ro"), fs::perms::owner_read | fs::perms::owner_exec);
    {
        testing_support::PermissionBitsHold held;
        EXPECT_EQ(copyDownload(temp(), data.file("ro/old.bin")), std::nullopt);
    }
    EXPECT_EQ(readFile(data.file("ro/old.bin")), kData);
}

TEST_F(DownloadSaveTest, FullDiskIsAFailureAndADeviceIsWrittenNotReplaced)
{
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full on this machine";
    fs::create_symlink("/dev/full", data.file("full.bin"));
    EXPECT_THAT(copyDownload(temp(), data.file("full.bin")), Optional(HasSubstr("No space left on device")));
    EXPECT_TRUE(fs::is_symlink(data.file("full.bin")));
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

// A write the system refuses while a regular file is replaced (a file size
// limit here, which fails the write as a full disk does) is told with the
// system's reason, and the old file stays.
TEST_F(DownloadSaveTest, ARefusedWriteWhileReplacingGivesTheSystemsReason)
{
    testing_support::writeText(temp(), std::string(64 * 1024, 'x'));
    testing_support::writeText(data.file("old.bin"), "old log");
    struct rlimit before {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto previousHandler = ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = before;
    limited.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const std::optional<std::string> failure = copyDownload(temp(), data.file("old.bin"));
    ::setrlimit(RLIMIT_FSIZE, &before);
    ::signal(SIGXFSZ, previousHandler);
    EXPECT_THAT(failure, Optional(std::string("File too large")));
    EXPECT_EQ(readFile(data.file("old.bin")), "old log");
}

}  // namespace
}  // namespace logfetch
