// The shipped sample logs convert into exactly the shipped reports.
#include <gtest/gtest.h>

#include <filesystem>

#include "logfetch/convert/convert_bin_file.h"
#include "logfetch/testing/bin_builder.h"
#include "testing/scripted_prompter.h"
#include "testing/temp_folder.h"

namespace logfetch {
namespace {

namespace fs = std::filesystem;

fs::path samplesFolder()
{
    return fs::path(PROJECT_DATA_DIR) / "samples";
}

class SampleLog : public ::testing::TestWithParam<std::string> {};

TEST_P(SampleLog, ConvertsIntoTheShippedReports)
{
    testing_support::TempFolder folder;
    const std::string name = GetParam() + ".bin";
    fs::copy_file(samplesFolder() / name, folder.file(name));
    StepValues values;
    testing_support::ScriptedPrompter prompter;
    ASSERT_EQ(ConvertBinFile(folder.path(), name, values, prompter, [] {}), ConversionOutcome::Completed);
    for (const std::string& report : {values.gPrnFile, values.gCsvFile}) {
        const fs::path expected = samplesFolder() / "expected" / fs::path(report).filename();
        EXPECT_EQ(testing_support::readFile(report), testing_support::readFile(expected.string())) << report;
    }
}

INSTANTIATE_TEST_SUITE_P(Shipped, SampleLog,
                         ::testing::Values("worked-example", "lab-week", "field-stamped", "stopped-early"),
                         [](const auto& info) {
                             std::string name = info.param;
                             std::erase(name, '-');
                             return name;
                         });

}  // namespace
}  // namespace logfetch
