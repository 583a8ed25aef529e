#include "tabwright/capture/trusted_folders.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tabwright {
namespace {

TEST(TrustedFolderList, OnlyAbsoluteFoldersAreTrustedAndTheRestIsToldOneByOne)
{
    const struct {
        const char* list;
        std::vector<std::string> trusted;
        std::size_t refused;
    } cases[] = {
        {"", {}, 0},
        {"/lab/templates", {"/lab/templates"}, 0},
        {"/a:/b", {"/a", "/b"}, 0},
        {"/a::/b:", {"/a", "/b"}, 0},
        {".", {}, 1},
        {"..", {}, 1},
        {"/a:.:templates:/b", {"/a", "/b"}, 2},
        {"~", {"/home/lab"}, 0},
        {"~/templates:/b", {"/home/lab/templates", "/b"}, 0},
        {"~other/templates", {}, 1},
        {"/lab/a,b:/lab/c, d", {"/lab/a,b", "/lab/c, d"}, 0},
        {"/lab/Donn\xC3\xA9"
         "es:/lab/\xE6\x95\xB0\xE6\x8D\xAE",
         {"/lab/Donn\xC3\xA9"
          "es",
          "/lab/\xE6\x95\xB0\xE6\x8D\xAE"},
         0},
    };
    for (const auto& [list, trusted, refused] : cases) {
        const TrustedFolderList read = trustedFolderList(list, "/home/lab");
        EXPECT_EQ(read.folders, trusted) << list;
        EXPECT_EQ(read.warnings.size(), refused) << list;
    }
}

TEST(TrustedFolderList, AWarningNamesTheEntryRefused)
{
    const TrustedFolderList read = trustedFolderList("/a:..", "/home/lab");
    ASSERT_EQ(read.warnings.size(), 1U);
    EXPECT_EQ(read.warnings.front(),
              "The TrustedFolders entry \"..\" is not an absolute folder and is not trusted.");
}

TEST(TrustedFolderList, TildeWithoutAHomeIsRefused)
{
    const TrustedFolderList read = trustedFolderList("~:~/x", "");
    EXPECT_TRUE(read.folders.empty());
    EXPECT_EQ(read.warnings.size(), 2U);
}

}  // namespace
}  // namespace tabwright
