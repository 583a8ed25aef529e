#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "logfetch/cli/download_command_line.h"

namespace {

struct Case {
    const char* name;
    QStringList arguments;
    int usageError;  // 0: accepted
    const char* port;
    const char* output;
    bool force;
    const char* message;  // part of what a refusal says
};

class DownloadCommandLine : public testing::TestWithParam<Case> {};

TEST_P(DownloadCommandLine, AcceptsUsableOptionsAndRefusesTheRestWithAMessage)
{
    const Case& c = GetParam();
    std::ostringstream err;
    const auto parsed =
        logfetch::parseDownloadCommandLine(QStringList{"logfetch", "download"} + c.arguments, err);
    if (c.usageError != 0) {
        ASSERT_TRUE(std::holds_alternative<int>(parsed));
        EXPECT_EQ(std::get<int>(parsed), c.usageError);
        EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
        return;
    }
    ASSERT_TRUE(std::holds_alternative<logfetch::DownloadOptions>(parsed)) << err.str();
    const auto& options = std::get<logfetch::DownloadOptions>(parsed);
    EXPECT_EQ(options.portText.value_or("none"), c.port);
    EXPECT_EQ(options.outputPath, c.output);
    EXPECT_EQ(options.force, c.force);
    EXPECT_EQ(err.str(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Options, DownloadCommandLine,
    testing::Values(Case{"Defaults", {}, 0, "none", "Idatalog.bin", false, ""},
                    Case{"PortWithSpacesAndZeros", {"--port", " 07 "}, 0, "7", "Idatalog.bin", false, ""},
                    Case{"OutputAndForce", {"--output=run.bin", "--force"}, 0, "none", "run.bin", true, ""},
                    Case{"PortInExponentForm", {"--port", "1e1"}, 2, "", "", false, "--port takes"},
                    Case{"PortBeyondSixteen", {"--port=17"}, 2, "", "", false, "from 1 to 16"},
                    Case{"FileNameWithoutOption", {"run.bin"}, 2, "", "", false, "takes no file names"},
                    Case{"EmptyOutput", {"--output="}, 2, "", "", false, "--output needs a file name"},
                    Case{"UnknownOption", {"--speed", "9600"}, 2, "", "", false, "logfetch download:"},
                    Case{"PortWithoutValue", {"--port"}, 2, "", "", false, "logfetch download:"}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace
