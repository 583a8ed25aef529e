#include "tabwright/cli/capture_options.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "testing/file_rights.h"
#include "testing/temp_folder.h"

namespace tabwright {
namespace {

using ::testing::HasSubstr;

class CaptureOptionsTest : public ::testing::Test {
protected:
    std::variant<CaptureOptions, std::string> parse(QStringList arguments)
    {
        arguments.prepend("capture");
        arguments.prepend("tabwright");
        return parseCaptureOptions(arguments, folder.file(defaultCaptureName("2026-12-08_14-03-27")));
    }

    testing_support::TempFolder folder;
};

TEST_F(CaptureOptionsTest, WithoutOptionsThePortIsTheSavedOneAndTheWorkbookADatedOds)
{
    const auto parsed = parse(QStringList{});
    ASSERT_TRUE(std::holds_alternative<CaptureOptions>(parsed)) << std::get<std::string>(parsed);
    const CaptureOptions& options = std::get<CaptureOptions>(parsed);
    EXPECT_EQ(options.source, CaptureSource::Port);
    EXPECT_EQ(options.port, std::nullopt);
    EXPECT_EQ(options.seconds, std::nullopt);
    EXPECT_EQ(options.outputPath, folder.file("capture-2026-12-08_14-03-27.ods"));
    EXPECT_EQ(options.outputKind, OutputKind::Calc);
    EXPECT_EQ(options.measurement.minimum, 50);
    EXPECT_EQ(options.temperature.maximum, 50);
    EXPECT_EQ(options.index, "0000");
    EXPECT_EQ(options.eolFrequency, 16);
}

TEST_F(CaptureOptionsTest, EveryOptionIsTaken)
{
    const auto parsed = parse(QStringList{"--emulate", "VQ-480", "--seconds", "2.5", "--output",
                                          QString::fromStdString(folder.file("run.XLSX")), "--macro",
                                          "ChartReadings", "--measurement", "-5:40", "--temperature", "10:10",
                                          "--index", " 1 2 ", "--eol-frequency", "-3"});
    ASSERT_TRUE(std::holds_alternative<CaptureOptions>(parsed)) << std::get<std::string>(parsed);
    const CaptureOptions& options = std::get<CaptureOptions>(parsed);
    EXPECT_EQ(options.source, CaptureSource::EmulatedVq480);
    EXPECT_EQ(options.seconds, 2.5);
    EXPECT_EQ(options.outputKind, OutputKind::Calc);
    EXPECT_EQ(options.macro, "ChartReadings");
    EXPECT_EQ(options.measurement.minimum, -5);
    EXPECT_EQ(options.measurement.maximum, 40);
    EXPECT_EQ(options.index, " 1 2 ");
    EXPECT_EQ(options.eolFrequency, -3);
    EXPECT_EQ(std::get<CaptureOptions>(parse(QStringList{"--port", " 07 "})).port, 7);
    EXPECT_EQ(
        std::get<CaptureOptions>(parse(QStringList{"--output", QString::fromStdString(folder.file("a.csv"))}))
            .outputKind,
        OutputKind::Csv);
}

TEST_F(CaptureOptionsTest, EveryNumberOptionTakesSpacesAroundItsValue)
{
    const auto parsed = parse(QStringList{"--port", " 3", "--seconds", " 2 ", "--measurement", " -5 : 40 ",
                                          "--temperature", "10 :10", "--eol-frequency", " -3 "});
    ASSERT_TRUE(std::holds_alternative<CaptureOptions>(parsed)) << std::get<std::string>(parsed);
    const CaptureOptions& options = std::get<CaptureOptions>(parsed);
    EXPECT_EQ(options.port, 3);
    EXPECT_EQ(options.seconds, 2.0);
    EXPECT_EQ(options.measurement.minimum, -5);
    EXPECT_EQ(options.measurement.maximum, 40);
    EXPECT_EQ(options.temperature.minimum, 10);
    EXPECT_EQ(options.temperature.maximum, 10);
    EXPECT_EQ(options.eolFrequency, -3);
}

TEST_F(CaptureOptionsTest, BadArgumentsAreToldBeforeAnythingOpens)
{
    const struct {
        QStringList arguments;
        const char* told;
    } cases[] = {
        {{"--port", "0"}, "--port takes a COM port number from 1 to 16, not \"0\""},
        {{"--port", "abc"}, "not \"abc\""},
        {{"--port", "17"}, "not \"17\""},
        {{"--port", "3", "--emulate", "K7RX"}, "cannot go together"},
        {{"--emulate", "VQ-610"}, "--emulate takes K7RX or VQ-480"},
        {{"--seconds", "-1"},
         "--seconds takes a number of seconds above 0 and at most 1000000000, not \"-1\""},
        {{"--seconds", "1e300"}, "not \"1e300\""},
        {{"--seconds", "1000000000.5"}, "not \"1000000000.5\""},
        {{"--seconds", "0"}, "not \"0\""},
        {{"--seconds", "ten"}, "not \"ten\""},
        {{"--seconds", " "}, "not \" \""},
        {{"--seconds", "\t2"}, "not \"\t2\""},
        {{"--port", "+3"}, "not \"+3\""},
        {{"--eol-frequency", "+3"}, "--eol-frequency takes a whole number"},
        {{"--eol-frequency", "\t3"}, "--eol-frequency takes a whole number"},
        {{"--eol-frequency", " "}, "--eol-frequency takes a whole number"},
        {{"--measurement", "- 5:40"}, "--measurement takes MIN:MAX"},
        {{"--measurement", "9:x"}, "--measurement takes MIN:MAX"},
        {{"--temperature", "40"}, "--temperature takes MIN:MAX"},
        {{"--measurement", "-32768:32767"}, "at most 32767 apart"},
        {{"--eol-frequency", "40000"}, "--eol-frequency takes a whole number"},
        {{"--output", "run.txt"}, "--output must end in .ods, .xlsx, .xls or .csv"},
        {{"--output", "/no/such/folder/run.ods"},
         "cannot save /no/such/folder/run.ods: No such file or directory"},
        {{"--output", "run.csv", "--macro", "ChartReadings"}, "a .csv file has no macros"},
        {{"--bogus"}, "bogus"},
        {{"--port"}, "port"},
        {{"extra.ods"}, "takes no file names"},
    };
    for (const auto& [arguments, told] : cases) {
        const auto parsed = parse(arguments);
        ASSERT_TRUE(std::holds_alternative<std::string>(parsed)) << arguments.join(' ').toStdString();
        EXPECT_THAT(std::get<std::string>(parsed), HasSubstr(told)) << arguments.join(' ').toStdString();
    }
}

TEST_F(CaptureOptionsTest, AReadOnlyOutputFolderIsToldBeforeAnythingOpens)
{
    const std::string readOnly = folder.file("ro");
    std::filesystem::create_directory(readOnly);
    std::filesystem::permissions(readOnly,
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    testing_support::PermissionBitsHold hold;
    const auto parsed = parse(QStringList{"--output", QString::fromStdString(readOnly + "/run.ods")});
    ASSERT_TRUE(std::holds_alternative<std::string>(parsed));
    EXPECT_THAT(std::get<std::string>(parsed), HasSubstr("Permission denied"));
}

}  // namespace
}  // namespace tabwright
