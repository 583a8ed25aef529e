// How fast a 5 MB K7RX journal, read as a 9600-baud line brings it (96 bytes a tick),
// replays into the CSV sheet and into a headless Calc saved as .ods, and how much of
// that time is Calc's own (its row writes and its save). Reports seconds and MB/s.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>

#include "tabwright/calc/calc_spreadsheet_factory.h"
#include "tabwright/capture/capture_workbook.h"
#include "tabwright/files/ini_settings_store.h"
#include "tabwright/capture/journal_replay.h"
#include "tabwright/cli/csv_spreadsheet.h"
#include "tabwright/testing/k7rx_lines.h"
#include "testing/temp_folder.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::size_t kJournalBytes = 5 << 20;
constexpr std::size_t kBytesPerRead = 96;

class NoonClock : public tabwright::TimeOfDay {
public:
    std::int32_t millisecondsSinceMidnight() override { return 12 * 3600 * 1000; }
};

// A K7RX run's journal and its reads file: one read every 96 bytes, each after the lines
// before it were written.
tabwright::JournalFiles k7rxJournal()
{
    std::string text;
    for (int index = 0; text.size() < kJournalBytes; ++index)
        text += testing_support::k7rxLine(index);
    std::string reads(tabwright::kReadsHeader);
    std::size_t written = 0;
    for (std::size_t offset = kBytesPerRead;; offset += kBytesPerRead) {
        offset = std::min(offset, text.size());
        reads += tabwright::readLine(static_cast<std::int64_t>(offset), static_cast<std::int64_t>(written),
                                     12 * 3600 * 1000);
        // Every line complete at this read is written before the next one comes.
        const std::size_t lastLineEnd = text.rfind("\r\n", offset - 2);
        written = lastLineEnd == std::string::npos ? 0 : lastLineEnd + 2;
        if (offset == text.size())
            break;
    }
    return {std::make_shared<tabwright::TextInMemory>(text), reads};
}

// Passes every call on and adds up the time the spreadsheet took for writes and the save.
class TimedSpreadsheet : public tabwright::CaptureSheet {
public:
    explicit TimedSpreadsheet(tabwright::CaptureSheet& inner) : inner_(inner) {}
    void writeText(int row, int column, std::string_view text) override
    {
        timed([&] { inner_.writeText(row, column, text); });
    }
    void writeNumber(int row, int column, double value) override
    {
        timed([&] { inner_.writeNumber(row, column, value); });
    }
    void writeRows(std::span<const tabwright::RowCells> rows) override
    {
        timed([&] { inner_.writeRows(rows); });
    }
    bool joinsRows() const override { return inner_.joinsRows(); }
    std::string workbookName() override { return inner_.workbookName(); }
    void saveWorkbookAs(const std::string& path) override
    {
        timed([&] { inner_.saveWorkbookAs(path); });
    }
    tabwright::SheetLimits limits() const override { return inner_.limits(); }
    double seconds = 0;

private:
    template <typename Call>
    void timed(Call call)
    {
        const auto start = Clock::now();
        call();
        seconds += std::chrono::duration<double>(Clock::now() - start).count();
    }
    tabwright::CaptureSheet& inner_;
};

// Adds up one replay's figures; report() turns them into averages per replay.
struct Figures {
    double seconds = 0;
    double sheetSeconds = 0;
    double bytes = 0;
    void add(benchmark::State& state, double replaySeconds, double replaySheetSeconds,
             std::size_t replayBytes)
    {
        state.SetIterationTime(replaySeconds);
        seconds += replaySeconds;
        sheetSeconds += replaySheetSeconds;
        bytes += static_cast<double>(replayBytes);
    }
    void report(benchmark::State& state) const
    {
        using benchmark::Counter;
        state.counters["seconds"] = Counter(seconds, Counter::kAvgIterations);
        state.counters["sheet_seconds"] = Counter(sheetSeconds, Counter::kAvgIterations);
        state.counters["MB_per_s"] = bytes / 1e6 / seconds;
    }
};

void replayIntoCsv(benchmark::State& state)
{
    const tabwright::JournalFiles journal = k7rxJournal();
    testing_support::TempFolder folder;
    Figures figures;
    for (auto _ : state) {
        NoonClock clock;
        tabwright::JournalReplaySource source(journal, clock);
        tabwright::CsvSpreadsheet csv("replay.csv");
        TimedSpreadsheet sheet(csv);
        const auto start = Clock::now();
        tabwright::replayJournal(source, sheet);
        sheet.saveWorkbookAs(folder.file("replay.csv"));
        figures.add(state, std::chrono::duration<double>(Clock::now() - start).count(), sheet.seconds,
                    journal.journal->size());
    }
    figures.report(state);
}

void replayIntoCalc(benchmark::State& state)
{
    const tabwright::JournalFiles journal = k7rxJournal();
    testing_support::TempFolder folder;
    Figures figures;
    for (auto _ : state) {
        const tabwright::IniSettingsStore settings;
        tabwright::CalcSpreadsheetFactory calc(settings);
        tabwright::FreshWorkbook fresh = tabwright::openFreshWorkbook(calc, "replay-benchmark", false);
        if (!fresh.opened || !fresh.spreadsheet.sheet) {
            state.SkipWithError(fresh.reason.c_str());
            return;
        }
        NoonClock clock;
        tabwright::JournalReplaySource source(journal, clock);
        TimedSpreadsheet sheet(*fresh.spreadsheet.sheet);
        const auto start = Clock::now();
        tabwright::replayJournal(source, sheet);
        sheet.saveWorkbookAs(folder.file("replay.ods"));
        figures.add(state, std::chrono::duration<double>(Clock::now() - start).count(), sheet.seconds,
                    journal.journal->size());
        fresh.spreadsheet.application->quit();
    }
    figures.report(state);
}

BENCHMARK(replayIntoCsv)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(3);
BENCHMARK(replayIntoCalc)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
