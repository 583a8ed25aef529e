#include "tabwright/cli/save_output.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "tabwright/cli/csv_spreadsheet.h"
#include "testing/file_contents.h"
#include "testing/temp_folder.h"

namespace tabwright {
namespace {

// Only a name the user gave replaces a file; a name the program chose takes the next free
// one, and a file already there is never touched.
TEST(SaveOutput, OnlyANameTheUserGaveReplacesAFile)
{
    const struct {
        const char* what;
        std::vector<std::string> there;
        bool named;
        std::string savedAs;
    } cases[] = {
        {"a free default name", {}, false, "run.csv"},
        {"a default name taken", {"run.csv"}, false, "run-2.csv"},
        {"two taken", {"run.csv", "run-2.csv"}, false, "run-3.csv"},
        {"a name the user gave", {"run.csv"}, true, "run.csv"},
    };
    for (const auto& test : cases) {
        testing_support::TempFolder folder;
        for (const std::string& name : test.there)
            testing_support::writeText(folder.file(name), "earlier " + name);
        CsvSpreadsheet sheet(folder.file("run.csv"));
        sheet.writeText(1, 1, "new");
        EXPECT_EQ(saveOutput(sheet, folder.file("run.csv"), test.named), folder.file(test.savedAs))
            << test.what;
        EXPECT_EQ(testing_support::readFile(folder.file(test.savedAs)), "\"new\"\r\n") << test.what;
        for (const std::string& name : test.there) {
            if (name != test.savedAs) {
                EXPECT_EQ(testing_support::readFile(folder.file(name)), "earlier " + name) << test.what;
            }
        }
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                                std::filesystem::directory_iterator()),
                  static_cast<std::ptrdiff_t>(test.there.size() + (test.named ? 0 : 1)))
            << test.what;
    }
}

TEST(SaveOutput, AFolderThatTakesNoFileIsAFailureThatNamesTheOutput)
{
    testing_support::TempFolder folder;
    CsvSpreadsheet sheet("run.csv");
    sheet.writeText(1, 1, "new");
    try {
        saveOutput(sheet, folder.file("missing/run.csv"), false);
        ADD_FAILURE() << "saved";
    } catch (const SpreadsheetError& error) {
        EXPECT_THAT(error.what(), testing::HasSubstr("cannot save " + folder.file("missing/run.csv") +
                                                     ": No such file or directory"));
    }
}

}  // namespace
}  // namespace tabwright
