#include "tabwright/cli/csv_spreadsheet.h"

#include <sys/stat.h>

#include <filesystem>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "testing/file_contents.h"
#include "testing/file_rights.h"
#include "testing/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using tabwright::CsvSpreadsheet;
using tabwright::SpreadsheetError;
using tabwright::SpreadsheetFailure;
using testing::HasSubstr;

struct Write {
    int row;
    int column;
    std::variant<std::string, double> value;
};

void apply(CsvSpreadsheet& sheet, const std::vector<Write>& writes)
{
    for (const Write& write : writes) {
        if (const auto* text = std::get_if<std::string>(&write.value))
            sheet.writeText(write.row, write.column, *text);
        else
            sheet.writeNumber(write.row, write.column, std::get<double>(write.value));
    }
}

// The same writes, neighbouring cells of a row joined into one row write.
void applyAsRows(CsvSpreadsheet& sheet, const std::vector<Write>& writes)
{
    std::vector<std::string> texts;
    std::vector<tabwright::CellValue> values;
    for (std::size_t first = 0; first < writes.size();) {
        std::size_t end = first + 1;
        while (end < writes.size() && writes[end].row == writes[first].row &&
               writes[end].column == writes[end - 1].column + 1)
            ++end;
        texts.clear();
        texts.reserve(end - first);
        values.clear();
        for (std::size_t at = first; at < end; ++at) {
            if (const auto* text = std::get_if<std::string>(&writes[at].value))
                values.emplace_back(std::string_view(texts.emplace_back(*text)));
            else
                values.emplace_back(std::get<double>(writes[at].value));
        }
        sheet.writeRow(writes[first].row, writes[first].column, values);
        first = end;
    }
}

TEST(CsvSpreadsheet, WritesTheUsedRectangleAsQuotedTextAndPlainNumbers)
{
    const struct {
        const char* name;
        std::vector<Write> writes;
        std::string csv;
    } cases[] = {
        {"empty sheet", {}, ""},
        {"text keeps its zeros", {{1, 1, "0012"}}, "\"0012\"\r\n"},
        {"text that looks like a number or formula",
         {{1, 1, "=1+1"}, {1, 2, "1e3"}, {1, 3, " 7 "}},
         "\"=1+1\",\"1e3\",\" 7 \"\r\n"},
        {"quotes doubled, commas and line ends inside",
         {{1, 1, "a\"b"}, {1, 2, "x,y"}, {1, 3, "l1\r\nl2"}},
         "\"a\"\"b\",\"x,y\",\"l1\r\nl2\"\r\n"},
        {"Latin-1 as UTF-8", {{1, 1, "43 (C) \xB0\xFF\x80"}}, "\"43 (C) \xC2\xB0\xC3\xBF\xC2\x80\"\r\n"},
        {"NUL byte kept", {{1, 1, std::string("a\0b", 3)}}, std::string("\"a\0b\"\r\n", 7)},
        {"numbers in plain decimal",
         {{1, 1, 13.5},
          {1, 2, -0.25},
          {1, 3, 0.1 + 0.2},
          {1, 4, 1.0 / 3},
          {1, 5, 1e20},
          {1, 6, 1e-5},
          {1, 7, 123456789012345678.0},
          {1, 8, -0.0}},
         "13.5,-0.25,0.3,0.333333333333333,100000000000000000000,0.00001,123456789012346000,0\r\n"},
        {"gaps before the first cell are empty records and fields", {{2, 3, "x"}}, ",,\r\n,,\"x\"\r\n"},
        {"every record as wide as the widest row",
         {{1, 1, "a"}, {2, 3, 1.0}, {3, 2, "b"}},
         "\"a\",,\r\n,,1\r\n,\"b\",\r\n"},
        {"empty text leaves an empty cell",
         {{1, 1, "a"}, {1, 2, ""}, {3, 3, "x"}, {3, 3, ""}, {2, 1, "x"}, {2, 1, 2.0}},
         "\"a\"\r\n2\r\n"},
        // Rows go to a file beside the output as they complete; whatever order the writes
        // come in, the saved file is the sheet's CSV.
        {"row after row",
         {{1, 1, "a"}, {1, 2, 1.0}, {2, 1, "b"}, {3, 1, "c"}},
         "\"a\",1\r\n\"b\",\r\n\"c\",\r\n"},
        {"a later row wider", {{1, 1, "a"}, {2, 1, "b"}, {3, 3, "c"}}, "\"a\",,\r\n\"b\",,\r\n,,\"c\"\r\n"},
        {"blocks fill column after column",
         {{1, 1, 9.5}, {2, 1, "x"}, {3, 1, "y"}, {1, 2, 10.5}, {2, 2, "z\xB0"}},
         "9.5,10.5\r\n\"x\",\"z\xC2\xB0\"\r\n\"y\",\r\n"},
        {"the last row emptied again",
         {{1, 1, "a"}, {2, 1, "b"}, {3, 1, "c"}, {3, 1, ""}},
         "\"a\"\r\n\"b\"\r\n"},
        {"a row written out emptied again", {{1, 1, "a"}, {2, 2, "b"}, {1, 1, ""}}, ",\r\n,\"b\"\r\n"},
        {"quotes, commas and line ends in rows written out",
         {{1, 1, "q\"1,\r\n2"}, {2, 1, 0.1}, {3, 1, "end"}},
         "\"q\"\"1,\r\n2\"\r\n0.1\r\n\"end\"\r\n"},
    };
    for (const auto& c : cases) {
        for (const auto write : {apply, applyAsRows}) {
            testing_support::TempFolder folder;
            CsvSpreadsheet sheet(folder.file("out.csv"));
            write(sheet, c.writes);
            EXPECT_EQ(sheet.csvText(), c.csv) << c.name;
            sheet.saveWorkbookAs(folder.file("out.csv"));
            EXPECT_EQ(testing_support::readFile(folder.file("out.csv")), c.csv) << c.name;
            EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 1)
                << c.name;
        }
    }
}

// A row write that runs off the sheet writes the cells inside it and fails at the first
// outside, as one write per cell does.
TEST(CsvSpreadsheet, ARowWritePastTheSheetsEdgeFailsWhereItLeavesIt)
{
    const struct {
        int row;
        int firstColumn;
        std::size_t cells;
        const char* failure;  // nullptr: written
        std::size_t fieldsWritten;
    } cases[] = {
        {1, 16'383, 2, nullptr, 16'384},
        {1, 16'383, 3, "(1, 16385)", 16'384},
        {1, 16'385, 1, "(1, 16385)", 0},
        {1, 0, 2, "(1, 0)", 0},
        {0, 1, 2, "(0, 1)", 0},
    };
    for (const auto& c : cases) {
        CsvSpreadsheet sheet("edge.csv");
        const std::vector<tabwright::CellValue> values(c.cells, tabwright::CellValue{1.0});
        try {
            sheet.writeRow(c.row, c.firstColumn, values);
            EXPECT_EQ(c.failure, nullptr) << c.firstColumn << " + " << c.cells;
        } catch (const SpreadsheetError& error) {
            ASSERT_NE(c.failure, nullptr) << c.firstColumn << " + " << c.cells;
            EXPECT_THAT(error.what(), HasSubstr(c.failure));
        }
        const std::string csv = sheet.csvText();
        EXPECT_EQ(c.fieldsWritten == 0 ? 0 : std::count(csv.begin(), csv.end(), ',') + 1,
                  static_cast<std::ptrdiff_t>(c.fieldsWritten))
            << c.firstColumn << " + " << c.cells;
    }
}

// A long run holds only its open row: the rows above it go to a file beside the output
// before the save (a buffer at a time), and the save renames that file into place.
TEST(CsvSpreadsheet, CompletedRowsAreOnDiskBesideTheOutputBeforeTheSave)
{
    testing_support::TempFolder folder;
    CsvSpreadsheet sheet(folder.file("run.csv"));
    constexpr int kRows = 20'000;
    for (int row = 1; row <= kRows; ++row)
        sheet.writeRow(row, 1, std::vector<tabwright::CellValue>{"0007", static_cast<double>(row)});
    std::vector<fs::path> beside;
    for (const auto& entry : fs::directory_iterator(folder.path()))
        beside.push_back(entry.path());
    ASSERT_EQ(beside.size(), 1U);
    EXPECT_THAT(beside[0].filename().string(), testing::StartsWith(".run."));
    const std::string early = testing_support::readFile(beside[0].string());
    EXPECT_GT(early.size(), 100'000U);
    sheet.saveWorkbookAs(folder.file("run.csv"));
    const std::string saved = testing_support::readFile(folder.file("run.csv"));
    EXPECT_TRUE(saved.starts_with(early));
    EXPECT_TRUE(saved.ends_with("\"0007\",20000\r\n"));
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), kRows);
    EXPECT_FALSE(fs::exists(beside[0]));
}

TEST(CsvSpreadsheet, HoldsAHundredThousandRowsOfTenCells)
{
    CsvSpreadsheet sheet("big.csv");
    for (int row = 1; row <= 100'000; ++row) {
        for (int column = 1; column <= 9; ++column)
            sheet.writeText(row, column, "12-07-2026");
        sheet.writeNumber(row, 10, row);
    }
    const std::string csv = sheet.csvText();
    EXPECT_TRUE(csv.ends_with(",\"12-07-2026\",100000\r\n"));
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 100'000);
}

class CsvSave : public testing::Test {
protected:
    testing_support::TempFolder folder;
    CsvSpreadsheet sheet{"out.csv"};

    void SetUp() override { sheet.writeText(1, 1, "new"); }
    // The reason of a failed save; fails the test when it saved.
    std::string failureOfSave(const std::string& path)
    {
        try {
            sheet.saveWorkbookAs(path);
        } catch (const SpreadsheetError& error) {
            EXPECT_EQ(error.failure(), SpreadsheetFailure::Failed);
            return error.what();
        }
        ADD_FAILURE() << "saved to " << path;
        return {};
    }
    std::size_t filesIn(const std::string& path) const
    {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(path), fs::directory_iterator()));
    }
};

TEST_F(CsvSave, WritesANewFileAndReplacesAnOldOneKeepingItsRights)
{
    sheet.saveWorkbookAs(folder.file("new.csv"));
    EXPECT_EQ(testing_support::readFile(folder.file("new.csv")), "\"new\"\r\n");

    testing_support::writeText(folder.file("old.csv"), "old contents, longer than the new");
    fs::permissions(folder.file("old.csv"),
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink("old.csv", folder.file("link.csv"));
    sheet.saveWorkbookAs(folder.file("link.csv"));
    EXPECT_EQ(testing_support::readFile(folder.file("old.csv")), "\"new\"\r\n");
    EXPECT_TRUE(fs::is_symlink(folder.file("link.csv")));
    EXPECT_EQ(fs::status(folder.file("old.csv")).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(filesIn(folder.path()), 3u) << "nothing left beside";
}

TEST_F(CsvSave, AFileThatCannotBeWrittenIsAClearFailureAndLeavesNoPartOfIt)
{
    EXPECT_THAT(failureOfSave(folder.file("missing/out.csv")),
                HasSubstr("cannot save " + folder.file("missing/out.csv") + ": No such file or directory"));
    fs::create_directory(folder.file("sub"));
    EXPECT_THAT(failureOfSave(folder.file("sub")), HasSubstr("Is a directory"));

    testing_support::writeText(folder.file("ro/old.csv"), "old");
    fs::permissions(folder.file("ro"), fs::perms::owner_read | fs::perms::owner_exec);
    {
        testing_support::PermissionBitsHold held;
        EXPECT_THAT(failureOfSave(folder.file("ro/old.csv")), HasSubstr("Permission denied"));
        EXPECT_THAT(failureOfSave(folder.file("ro/new.csv")), HasSubstr("Permission denied"));
    }
    EXPECT_EQ(testing_support::readFile(folder.file("ro/old.csv")), "old");
    EXPECT_EQ(filesIn(folder.file("ro")), 1u);
}

TEST_F(CsvSave, AFullDiskIsAFailureAndADeviceIsWrittenNotReplaced)
{
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full on this machine";
    fs::create_symlink("/dev/full", folder.file("full.csv"));
    EXPECT_THAT(failureOfSave(folder.file("full.csv")), HasSubstr("No space left on device"));
    EXPECT_TRUE(fs::is_symlink(folder.file("full.csv")));
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
    EXPECT_EQ(filesIn(folder.path()), 1u);
}

}  // namespace
