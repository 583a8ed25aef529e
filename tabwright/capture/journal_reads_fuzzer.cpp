// Replays a small journal with an arbitrary reads file beside it: a damaged or cut reads
// file must give a warning or a replay, never a crash, and every line of the journal
// must still reach the sheet. Input: the reads file's text.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "tabwright/capture/journal_replay.h"

namespace {

class FixedClock : public tabwright::TimeOfDay {
public:
    std::int32_t millisecondsSinceMidnight() override { return 45'296'789; }
};

// Keeps only how many cells holding "x" were written.
class CountingSheet : public tabwright::CaptureSheet {
public:
    void writeText(int, int, std::string_view text) override { lines += text == "x" ? 1 : 0; }
    void writeNumber(int, int, double) override {}
    std::string workbookName() override { return "fuzz"; }
    void saveWorkbookAs(const std::string&) override {}
    tabwright::SheetLimits limits() const override { return tabwright::kOdsSheet; }
    int lines = 0;
};

// Six lines "x", two block separators, and an unfinished last line "x".
const std::string kJournal = "x\r\nx\r\n\r\n\r\n\r\nx\r\nx\r\n\r\n\r\n\r\nx\r\nx";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FixedClock clock;
    tabwright::JournalReplaySource source(
        tabwright::JournalFiles{std::make_shared<tabwright::TextInMemory>(kJournal),
                                std::string(reinterpret_cast<const char*>(data), size)},
        clock);
    CountingSheet sheet;
    tabwright::replayJournal(source, sheet);
    // Where reads split the separators differently, their empty lines may be written as
    // rows of their own; no "x" is ever lost or doubled.
    if (sheet.lines != 6) {
        std::fprintf(stderr, "journal_reads_fuzzer: %d lines \"x\" written instead of 6\n", sheet.lines);
        std::abort();
    }
    return 0;
}
