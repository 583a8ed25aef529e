#include "tabwright/files/journal_rebuild.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tabwright/testing/recording_spreadsheet_factory.h"
#include "testing/file_contents.h"
#include "testing/temp_folder.h"

namespace tabwright {
namespace {

class Noon : public TimeOfDay {
public:
    std::int32_t millisecondsSinceMidnight() override { return 12 * 3600 * 1000; }
};

TEST(RebuildFromJournal, TheStatusKeepsTheReasonTheRebuildFailed)
{
    const struct {
        const char* name;
        std::function<void(testing_support::RecordingSpreadsheetFactory&)> set;
        std::string status;
    } cases[] = {
        {"no template", [](auto& f) { f.preparingFails = "no template in: /lab"; },
         "MS Excel not available: The capture workbook cannot be made: no template in: /lab"},
        {"no instance", [](auto& f) { f.prepare = [](auto& s) { s.failCall("newInstance"); }; },
         "MS Excel not available: LibreOffice Calc did not start: newInstance failed as told"},
        {"a write fails",
         [](auto& f) { f.prepare = [](auto& s) { s.failCall("writeRow"); }; },
         "Rebuilding stopped: MS Excel is blocked: writeRow failed as told"},
        {"the workbook is gone",
         [](auto& f) { f.prepare = [](auto& s) { s.failCall("writeRow", SpreadsheetFailure::Gone); }; },
         "Rebuilding stopped: MS Excel spreadsheet has been closed: writeRow failed as told"},
    };
    testing_support::TempFolder folder;
    testing_support::writeText(folder.file("run.txt"), "1\t2\r\n");
    for (const auto& [name, set, status] : cases) {
        testing_support::RecordingSpreadsheetFactory factory;
        set(factory);
        Noon noon;
        // The status says what failed and the reason why, as the window shows them.
        const JournalRebuild rebuild = rebuildFromJournal(factory, folder.file("run.txt"), noon);
        EXPECT_EQ(rebuild.status + ": " + rebuild.reason, status) << name;
    }
}

}  // namespace
}  // namespace tabwright
