#include "tabwright/calc/office_profile.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "testing/temp_folder.h"

namespace tabwright {
namespace {

namespace fs = std::filesystem;

// The number of a process that has ended.
pid_t endedProcess()
{
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

TEST(OfficeProfiles, OnlyProfilesOfEndedInstancesAreRemovedWithTheirSockets)
{
    testing_support::TempFolder parent;
    const struct {
        const char* name;
        std::optional<pid_t> owner;
        bool removed;
    } cases[] = {
        {"instance-ended1", endedProcess(), true},
        {"instance-mine01", getpid(), true},       // made here, and no process uses it
        {"instance-other1", 1, false},             // its program still runs
        {"instance-making", std::nullopt, false},  // no owner yet: being made right now
        {"not-a-profile", endedProcess(), false},
    };
    for (const auto& profile : cases) {
        fs::create_directories(parent.file(profile.name) + "/user");
        if (profile.owner)
            std::ofstream(parent.file(profile.name) + "/owner") << *profile.owner << '\n';
        std::ofstream(officePipeSocket(officePipeName(parent.file(profile.name)))) << "socket";
    }
    removeProfilesOfEndedInstances(parent.path());
    for (const auto& profile : cases) {
        EXPECT_EQ(fs::exists(parent.file(profile.name)), !profile.removed) << profile.name;
        const std::string socket = officePipeSocket(officePipeName(parent.file(profile.name)));
        EXPECT_EQ(fs::exists(socket), !profile.removed) << profile.name;
        fs::remove(socket);
    }
}

TEST(OfficeProfiles, TheRuntimeFolderIsUsedWhenPrivateAndRefusedWithTheReasonOtherwise)
{
    testing_support::TempFolder runtime;
    const char* before = std::getenv("XDG_RUNTIME_DIR");
    const std::string kept = before != nullptr ? before : "";
    setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
    chmod(runtime.path().c_str(), 0700);
    EXPECT_EQ(privateInstancesFolder(), runtime.path() + "/tabwright");
    chmod(runtime.path().c_str(), 0777);
    try {
        privateInstancesFolder();
        ADD_FAILURE() << "a folder open to others was used";
    } catch (const std::runtime_error& error) {
        EXPECT_THAT(error.what(), testing::HasSubstr("is open to other users"));
    }
    chmod(runtime.path().c_str(), 0700);
    fs::remove(runtime.file("tabwright"));
    fs::create_directory_symlink("/tmp", runtime.file("tabwright"));
    try {
        privateInstancesFolder();
        ADD_FAILURE() << "a link was followed";
    } catch (const std::runtime_error& error) {
        EXPECT_THAT(error.what(), testing::HasSubstr("is not a folder"));
    }
    if (before != nullptr)
        setenv("XDG_RUNTIME_DIR", kept.c_str(), 1);
    else
        unsetenv("XDG_RUNTIME_DIR");
}

// A killed office leaves its UNO pipe and its own single-instance pipe; the second is named
// after its profile (the name checked against a real office started on this profile).
TEST(OfficeProfiles, TheSocketsOfAnInstanceAreNamedAfterItsProfile)
{
    const std::string uid = std::to_string(getuid());
    EXPECT_THAT(
        officeSockets("/tmp/pq/prof"),
        testing::ElementsAre("/tmp/OSL_PIPE_" + uid + "_" + officePipeName("/tmp/pq/prof"),
                             "/tmp/OSL_PIPE_" + uid + "_SingleOfficeIPC_bcddb7861374bbabb0bc0adbb4310ec"));
}

}  // namespace
}  // namespace tabwright
