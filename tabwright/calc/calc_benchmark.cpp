// How fast a capture can fill Calc, and how long a Start takes before the first cell can be
// written. Runs a headless Calc of its own.
#include <benchmark/benchmark.h>

#include <string>

#include "tabwright/calc/calc_spreadsheet.h"
#include "tabwright/capture/capture_workbook.h"
#include "tabwright/capture/workbook_files.h"
#include "testing/temp_folder.h"

namespace {

struct Places {
    testing_support::TempFolder root;
    std::string workingCopy = tabwright::prepareWorkingCopy({{PROJECT_DATA_DIR}, root.file("work")});
    tabwright::CalcOptions options{root.file("startup"), root.path(), tabwright::CalcOptions::Display::Headless};
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

// A headless Calc with the capture workbook open, as after a Start.
struct OpenCapture {
    Places places;
    tabwright::CalcSpreadsheet calc{places.options};
    bool open = tabwright::openCaptureWorkbook(calc, places.workingCopy);
    ~OpenCapture() { calc.quit(); }
};

// One call per cell, as the capture writes: `writeRow` fills one row and returns its cell count.
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
    writeCells(state, [](tabwright::Spreadsheet& calc, int row) {
        for (int column = 1; column <= 8; ++column)
            calc.writeText(row, column, "0012");
        return 8;
    });
}
BENCHMARK(WriteTextCells)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

void WriteNumberCells(benchmark::State& state)
{
    writeCells(state, [](tabwright::Spreadsheet& calc, int row) {
        calc.writeNumber(row, 2, 13.5);
        return 1;
    });
}
BENCHMARK(WriteNumberCells)->Unit(benchmark::kMicrosecond)->MinTime(3.0)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
