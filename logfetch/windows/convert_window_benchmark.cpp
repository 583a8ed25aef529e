// Converts a generated 16 MB .BIN through the conversion window, which keeps
// itself painted and its bar moving while it converts, and through what
// "logfetch convert" runs, so the two times show what the window costs.
#include <QApplication>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <sstream>

#include "logfetch/cli/convert_command.h"
#include "logfetch/testing/large_log.h"
#include "logfetch/windows/convert_window.h"
#include "testing/scripted_prompter.h"
#include "testing/temp_folder.h"
#include "testing/widgets/scripted_file_dialog.h"

namespace {

constexpr std::size_t kLogBytes = 16 * 1024 * 1024;

struct Fixture {
    testing_support::TempFolder folder;
    std::string binPath = folder.file("big.bin");

    Fixture() { testing_support::writeFile(binPath, testing_support::largeIntervalLog(kLogBytes)); }

    // Each run starts without reports, so the window asks nothing.
    void removeReports() const
    {
        std::filesystem::remove(folder.file("BIG.PRN"));
        std::filesystem::remove(folder.file("BIG.CSV"));
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void BM_ConvertThroughTheWindow(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        state.PauseTiming();
        f.removeReports();
        logfetch::StepValues values;
        values.gLastBinFile = f.binPath;
        values.gStepMode = logfetch::StepValues::AllSteps;
        testing_support::ScriptedPrompter prompter;
        testing_support::ScriptedFileDialog fileDialog;
        logfetch::frmConfirmOverwrite confirmOverwrite(values);
        logfetch::frmConvertBINtoPRN window(values, prompter, fileDialog, confirmOverwrite, f.folder.path());
        state.ResumeTiming();
        window.ShowForm();
        if (prompter.messages.size() != 1 || prompter.messages[0].find("completed") == std::string::npos)
            state.SkipWithError("the conversion did not complete");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kLogBytes));
}
BENCHMARK(BM_ConvertThroughTheWindow)->Unit(benchmark::kMillisecond)->MinTime(5);

void BM_ConvertFromTheCommandLine(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        state.PauseTiming();
        f.removeReports();
        state.ResumeTiming();
        std::ostringstream out, err;
        if (logfetch::runConvertCommand({f.binPath}, out, err) != 0)
            state.SkipWithError("the conversion did not complete");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kLogBytes));
}
BENCHMARK(BM_ConvertFromTheCommandLine)->Unit(benchmark::kMillisecond)->MinTime(5);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
