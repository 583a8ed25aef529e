// How fast a capture can fill Calc, and how long a Start takes before the first cell can be
// written. Runs a headless Calc of its own.
#include <benchmark/benchmark.h>

#include <string>

#include "tabwright/capture/calc_spreadsheet.h"
#include "tabwright/capture/capture_workbook.h"
#include "tabwright/capture/workbook_files.h"
#include "testing/temp_folder.h"

namespace {

struct Places {
    testing_support::TempFolder root;
    std::string workingCopy = capture::prepareWorkingCopy({{PROJECT_DATA_DIR}, root.file("work")});
    capture::CalcOptions options{root.file("startup"), root.path(), capture::CalcOptions::Display::Headless};
};

// From "new instance" to "capture workbook open": what a Start costs.
void NewInstanceToCaptureWorkbookOpen(benchmark::State& state)
{
    Places places;
    for (auto _ : state) {
        capture::CalcSpreadsheet calc(places.options);
        if (!capture::openCaptureWorkbook(calc, places.workingCopy))
            state.SkipWithError("the capture workbook did not open");
        state.PauseTiming();
        calc.quit();
        state.ResumeTiming();
    }
}
BENCHMARK(NewInstanceToCaptureWorkbookOpen)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

// One call per cell, as the capture writes: eight text fields a line, like a tagged line.
void WriteTextCells(benchmark::State& state)
{
    Places places;
    capture::CalcSpreadsheet calc(places.options);
    if (!capture::openCaptureWorkbook(calc, places.workingCopy)) {
        state.SkipWithError("the capture workbook did not open");
        return;
    }
    int row = 1;
    for (auto _ : state) {
        for (int column = 1; column <= 8; ++column)
            calc.writeText(row, column, "0012");
        ++row;
    }
    state.counters["cells/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * 8,
                                                   benchmark::Counter::kIsRate);
    calc.quit();
}
BENCHMARK(WriteTextCells)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

void WriteNumberCells(benchmark::State& state)
{
    Places places;
    capture::CalcSpreadsheet calc(places.options);
    if (!capture::openCaptureWorkbook(calc, places.workingCopy)) {
        state.SkipWithError("the capture workbook did not open");
        return;
    }
    int row = 1;
    for (auto _ : state)
        calc.writeNumber(row++, 2, 13.5);
    state.counters["cells/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                   benchmark::Counter::kIsRate);
    calc.quit();
}
BENCHMARK(WriteNumberCells)->Unit(benchmark::kMicrosecond)->MinTime(3.0)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
