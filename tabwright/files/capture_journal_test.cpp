#include "tabwright/files/capture_journal.h"

#include <fcntl.h>

#include <filesystem>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "testing/file_contents.h"
#include "testing/file_rights.h"
#include "testing/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using testing::Optional;
using testing_support::readFile;

const QDateTime kStart(QDate(2026, 12, 8), QTime(14, 3, 27));

std::string everyByteValue()
{
    std::string bytes;
    for (int value = 0; value < 256; ++value)
        bytes += static_cast<char>(value);
    return bytes + "\r\n\r\r\n";
}

TEST(CaptureJournal, KeepsEveryByteAsReceivedInAFileNamedAfterTheStart)
{
    testing_support::TempFolder data;
    tabwright::CaptureJournal journal(data.file("Tabwright"));
    EXPECT_EQ(journal.folder(), data.file("Tabwright/journal"));
    ASSERT_TRUE(journal.open(tabwright::runNameOf(kStart)));
    EXPECT_EQ(journal.path(), data.file("Tabwright/journal/2026-12-08_14-03-27.txt"));
    for (const auto& folder : {data.file("Tabwright"), data.file("Tabwright/journal")})
        EXPECT_EQ(fs::status(folder).permissions(), fs::perms::owner_all) << folder;

    journal.append(everyByteValue());
    journal.flush();
    EXPECT_EQ(readFile(journal.path()), everyByteValue()) << "flushed while the run goes on";
    journal.append("0 0000 :: 12-07-2026");
    journal.close();
    journal.append("after Stop");
    journal.flush();
    EXPECT_EQ(readFile(journal.path()), everyByteValue() + "0 0000 :: 12-07-2026");
    EXPECT_EQ(journal.takeFailure(), std::nullopt);
}

TEST(CaptureJournal, ARunStartedInTheSameSecondGetsANameOfItsOwn)
{
    testing_support::TempFolder data;
    tabwright::CaptureJournal journal(data.path());
    std::vector<std::string> paths;
    for (const char* text : {"first", "second", "third"}) {
        ASSERT_TRUE(journal.open(journal.unusedRunName(kStart)));
        journal.append(text);
        journal.close();
        paths.push_back(journal.path());
    }
    const std::string stem = data.file("journal/2026-12-08_14-03-27");
    EXPECT_THAT(paths, testing::ElementsAre(stem + ".txt", stem + "-2.txt", stem + "-3.txt"));
    EXPECT_EQ(readFile(paths[0]), "first");
    EXPECT_EQ(readFile(paths[2]), "third");
}

// A link planted where the next run's journal or reads file goes is never followed: the
// file it leads to stays as it was, and the run takes the next name with both files new.
TEST(CaptureJournal, APlantedLinkIsNeverFollowed)
{
    for (const char* planted : {".txt.reads", ".txt"}) {
        testing_support::TempFolder data;
        tabwright::CaptureJournal journal(data.path());
        fs::create_directory(data.file("journal"));
        testing_support::writeFile(data.file("notes.txt"), {'m', 'i', 'n', 'e'});
        const std::string stem = data.file("journal/2026-12-08_14-03-27");
        fs::create_symlink(data.file("notes.txt"), stem + planted);
        ASSERT_TRUE(journal.open(tabwright::runNameOf(kStart))) << planted;
        journal.append("text");
        journal.close();
        EXPECT_EQ(journal.path(), stem + "-2.txt") << planted;
        EXPECT_EQ(readFile(data.file("notes.txt")), "mine") << planted;
        EXPECT_EQ(readFile(stem + "-2.txt"), "text") << planted;
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(stem + "-2.txt.reads"))) << planted;
        // A journal made and then passed over for its reads file is not left behind.
        EXPECT_EQ(fs::exists(stem + ".txt"), std::string(planted) == ".txt") << planted;
    }
}

TEST(CaptureJournal, AJournalThatCannotBeCreatedIsToldOnceAndTheCaptureGoesOn)
{
    const struct {
        const char* name;
        std::function<void(const testing_support::TempFolder&)> prepare;
        std::string failing;  // under the temporary folder
        const char* reason;
    } cases[] = {
        {"read-only data folder",
         [](const auto& data) {
             fs::create_directory(data.file("data"));
             fs::permissions(data.file("data"), fs::perms::owner_read | fs::perms::owner_exec);
         },
         "data/journal", "Permission denied"},
        {"read-only journal folder",
         [](const auto& data) {
             fs::create_directories(data.file("data/journal"));
             fs::permissions(data.file("data/journal"), fs::perms::owner_read | fs::perms::owner_exec);
         },
         "data/journal/2026-12-08_14-03-27.txt", "Permission denied"},
        {"a file where the folder goes",
         [](const auto& data) { testing_support::writeText(data.file("data/journal"), "x"); }, "data/journal",
         "Not a directory"},
    };
    for (const auto& c : cases) {
        testing_support::TempFolder data;
        c.prepare(data);
        tabwright::CaptureJournal journal(data.file("data"));
        testing_support::PermissionBitsHold held;
        EXPECT_FALSE(journal.open(tabwright::runNameOf(kStart))) << c.name;
        EXPECT_EQ(journal.path(), data.file("data/journal/2026-12-08_14-03-27.txt")) << c.name;
        EXPECT_THAT(
            journal.takeFailure(),
            Optional("The capture journal cannot be written: " + data.file(c.failing) + ": " + c.reason))
            << c.name;
        journal.append("bytes");
        journal.flush();
        journal.close();
        EXPECT_EQ(journal.takeFailure(), std::nullopt) << c.name;
    }
}

TEST(JournalFile, AFullDiskIsToldOnceAndLaterBytesAreDropped)
{
    const int descriptor = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    if (descriptor < 0)
        GTEST_SKIP() << "no /dev/full on this machine";
    tabwright::JournalFile file(descriptor, "/dev/full");
    file.flush();
    EXPECT_FALSE(file.hasFailed()) << "nothing appended, nothing to pass on";
    file.append("line\r\n");
    EXPECT_THAT(
        file.takeFailure(),
        Optional(std::string("The capture journal cannot be written: /dev/full: No space left on device")));
    file.append("more");
    file.flush();
    file.close();
    EXPECT_TRUE(file.hasFailed());
    EXPECT_EQ(file.takeFailure(), std::nullopt);
}

}  // namespace
