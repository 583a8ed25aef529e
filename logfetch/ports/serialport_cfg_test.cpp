#include "logfetch/ports/serialport_cfg.h"

#include <gtest/gtest.h>

#include <limits>

#include "testing/file_contents.h"
#include "testing/temp_folder.h"

namespace logfetch {
namespace {

using testing_support::readFile;

TEST(SerialPortCfg, ReadsTheFirstFieldAsWrittenAndPortOneWhenNothingIsSaved)
{
    testing_support::TempFolder folder;
    const std::string path = folder.file("serialport.cfg");
    EXPECT_EQ(serialPortCfgPath(folder.path()), path);
    EXPECT_EQ(readPortText(folder.path()), "1");  // missing
    testing_support::writeText(path, "");
    EXPECT_EQ(readPortText(folder.path()), "1");
    testing_support::writeText(path, "\r\n3\r\n");
    EXPECT_EQ(readPortText(folder.path()), "1");  // only the first line counts
    testing_support::writeText(path, " 7 ,second field\r\n");
    EXPECT_EQ(readPortText(folder.path()), "7");
    testing_support::writeText(path, "\"12\"\r\n");
    EXPECT_EQ(readPortText(folder.path()), "12");
    testing_support::writeText(path, "3.6 or so");
    EXPECT_EQ(readPortText(folder.path()), "3.6 or so");  // as written: its reader decides
}

TEST(SerialPortCfg, TheDownloadOpensTheNumberAtTheStartOfTheText)
{
    EXPECT_EQ(portNumberAtStart("3"), 3);
    EXPECT_EQ(portNumberAtStart("  12,"), 12);
    EXPECT_EQ(portNumberAtStart("3.6 or so"), 4);
    EXPECT_EQ(portNumberAtStart("2.4"), 2);
    EXPECT_EQ(portNumberAtStart("2.5"), 3);
    EXPECT_EQ(portNumberAtStart(".7"), 1);
    EXPECT_EQ(portNumberAtStart("+5"), 5);
    EXPECT_EQ(portNumberAtStart("-2"), -2);
    EXPECT_EQ(portNumberAtStart("7COM"), 7);
    for (const char* text : {"", "COM3", "  x3", "-", "."})
        EXPECT_EQ(portNumberAtStart(text), 0) << '"' << text << '"';
    EXPECT_EQ(portNumberAtStart(std::string(400, '9')), std::numeric_limits<int>::max());
}

TEST(SerialPortCfg, WritesThePlainNumberAsTheOnlyLine)
{
    testing_support::TempFolder folder;
    const std::string path = folder.file("serialport.cfg");
    testing_support::writeText(path, "3\r\nan old second line\r\n");
    ASSERT_TRUE(writePortNumber(folder.path(), 4));
    EXPECT_EQ(readFile(path), "4\r\n");
    EXPECT_EQ(readPortText(folder.path()), "4");
    EXPECT_FALSE(writePortNumber(folder.file("gone"), 4));
}

}  // namespace
}  // namespace logfetch
