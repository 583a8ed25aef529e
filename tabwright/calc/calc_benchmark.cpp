// How fast a capture can fill Calc, and how long a Start takes before the first cell can be
// written. Runs a headless Calc of its own.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "tabwright/calc/calc_spreadsheet.h"
#include "tabwright/capture/capture_workbook.h"
#include "tabwright/files/workbook_files.h"
#include "testing/temp_folder.h"

namespace {

struct Places {
    testing_support::TempFolder root;
    std::string workingCopy =
        tabwright::prepareWorkingCopy({{PROJECT_DATA_DIR}, root.file("work")}, "spreadsheet");
    tabwright::CalcOptions options{root.file("startup"), root.path(),
                                   tabwright::CalcOptions::Display::Headless};
};

// From "new instance" to "capture workbook open": what a Start costs.
void NewInstanceToCaptureWorkbookOpen(benchmark::State& state)
{
    Places places;
    for (auto _ : state) {
        tabwright::CalcSpreadsheet calc(places.options);
        if (!tabwright::openCaptureWorkbook(calc, places.workingCopy))
            state.SkipWithError("the capture workbook did not open");
        state.PauseTiming();
        calc.quit();
        state.ResumeTiming();
    }
}
BENCHMARK(NewInstanceToCaptureWorkbookOpen)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

// From "new instance" to the first row of a K7RX line in the sheet: what the user waits
// after Start before the capture shows anything.
void StartToFirstRow(benchmark::State& state)
{
    Places places;
    const std::vector<tabwright::CellValue> line{"0",  "0012",  "12-08-2026", "05:10:26",
                                                 "43", "(RAW)", "21",         "(C)"};
    for (auto _ : state) {
        tabwright::CalcSpreadsheet calc(places.options);
        if (!tabwright::openCaptureWorkbook(calc, places.workingCopy))
            state.SkipWithError("the capture workbook did not open");
        calc.writeRow(1, 1, line);
        state.PauseTiming();
        calc.quit();
        state.ResumeTiming();
    }
}
BENCHMARK(StartToFirstRow)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// A headless Calc with the capture workbook open, as after a Start.
struct OpenCapture {
    Places places;
    tabwright::CalcSpreadsheet calc{places.options};
    bool open = tabwright::openCaptureWorkbook(calc, places.workingCopy).opened;
    ~OpenCapture() { calc.quit(); }
};

// Calls `writeRow` with 1, 2, 3, ... until the time is up; it returns how many cells it wrote.
template <typename WriteRow>
void writeCells(benchmark::State& state, WriteRow writeRow)
{
    OpenCapture capture;
    if (!capture.open) {
        state.SkipWithError("the capture workbook did not open");
        return;
    }
    int row = 1;
    double cells = 0;
    for (auto _ : state)
        cells += writeRow(capture.calc, row++);
    state.counters["cells/s"] = benchmark::Counter(cells, benchmark::Counter::kIsRate);
}

// Eight text fields a line, like a tagged line.
void WriteTextCells(benchmark::State& state)
{
    writeCells(state, [](tabwright::CaptureSheet& calc, int row) {
        for (int column = 1; column <= 8; ++column)
            calc.writeText(row, column, "0012");
        return 8;
    });
}
BENCHMARK(WriteTextCells)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

void WriteNumberCells(benchmark::State& state)
{
    writeCells(state, [](tabwright::CaptureSheet& calc, int row) {
        calc.writeNumber(row, 2, 13.5);
        return 1;
    });
}
BENCHMARK(WriteNumberCells)->Unit(benchmark::kMicrosecond)->MinTime(3.0)->UseRealTime();

// Lines of range(0) text fields: one call per cell against one row write per line.
void WriteLinesCellByCell(benchmark::State& state)
{
    const int cells = static_cast<int>(state.range(0));
    writeCells(state, [cells](tabwright::CaptureSheet& calc, int row) {
        for (int column = 1; column <= cells; ++column)
            calc.writeText(row, column, "0012");
        return cells;
    });
}
BENCHMARK(WriteLinesCellByCell)->Arg(8)->Arg(60)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

void WriteLinesAsRows(benchmark::State& state)
{
    const std::vector<tabwright::CellValue> line(state.range(0), "0012");
    writeCells(state, [&line](tabwright::CaptureSheet& calc, int row) {
        calc.writeRow(row, 1, line);
        return static_cast<int>(line.size());
    });
}
BENCHMARK(WriteLinesAsRows)->Arg(8)->Arg(60)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

// A backlog: 100 consecutive lines of range(0) fields in one call.
void WriteLineRunsAsRows(benchmark::State& state)
{
    constexpr int kLines = 100;
    const std::vector<tabwright::CellValue> line(state.range(0), "0012");
    writeCells(state, [&line](tabwright::CaptureSheet& calc, int run) {
        std::vector<tabwright::RowCells> rows;
        for (int index = 0; index < kLines; ++index)
            rows.push_back({(run - 1) * kLines + index + 1, 1, line});
        calc.writeRows(rows);
        return kLines * static_cast<int>(line.size());
    });
}
BENCHMARK(WriteLineRunsAsRows)->Arg(8)->Arg(60)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

// A backlog of VQ-480 blocks: range(0) blocks of a stamp and 16 readings, each block one
// column further right, in one call. Runs that would pass the sheet's 1024 columns start
// again at the left, further down.
void WriteBlockRunsAsColumns(benchmark::State& state)
{
    constexpr int kRowsPerBlock = 17;
    const int blocks = static_cast<int>(state.range(0));
    const int runsAcross = 1000 / blocks;
    const std::vector<tabwright::CellValue> stamp{0.5}, reading{"9999"};
    writeCells(state, [&](tabwright::CaptureSheet& calc, int run) {
        const int top = (run - 1) / runsAcross * kRowsPerBlock;
        const int left = (run - 1) % runsAcross * blocks;
        std::vector<tabwright::RowCells> rows;
        for (int block = 1; block <= blocks; ++block)
            for (int row = 1; row <= kRowsPerBlock; ++row)
                rows.push_back({top + row, left + block, row == 1 ? stamp : reading});
        calc.writeRows(rows);
        return blocks * kRowsPerBlock;
    });
}
BENCHMARK(WriteBlockRunsAsColumns)->Arg(58)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
