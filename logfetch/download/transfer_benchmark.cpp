// The download over a pseudo-terminal: how many bytes a second the driver and
// engine take from an instrument that sends as fast as the line lets it (the
// real line carries 960), and how much processor time a download costs while
// the instrument says nothing.
#include <benchmark/benchmark.h>

#include <QEventLoop>
#include <QTimer>

#include <time.h>

#include <chrono>
#include <string>

#include "logfetch/download/download_driver.h"
#include "logfetch/testing/pty_download.h"
#include "logfetch/testing/pty_instrument_runner.h"
#include "logfetch/testing/simulated_instrument.h"
#include "testing/cpu_time.h"
#include "testing/scripted_prompter.h"
#include "testing/temp_folder.h"

namespace {

using namespace std::chrono_literals;
constexpr int kPort = 5;
constexpr std::size_t kLogBytes = 256 * 1024;

// Runs a real event loop, which sleeps while nothing happens, until it is
// quit or `limit` has passed.
void runEventLoop(std::chrono::milliseconds limit, QEventLoop& loop)
{
    QTimer::singleShot(limit, &loop, &QEventLoop::quit);
    loop.exec();
}

using testing_support::processCpuSeconds;

// A driver started on a pseudo-terminal, its data going to a temporary folder.
struct Download {
    testing_support::ScriptedPrompter prompter;
    testing_support::TempFolder folder;
    testing_support::PtyDownload line{kPort};

    Download() { line.makeDriver(prompter, folder.file(logfetch::kTempFileName)).start(); }
};

void BM_DownloadThroughput(benchmark::State& state)
{
    testing_support::InstrumentScript script;
    script.data = testing_support::makeDataLog(kLogBytes);
    std::chrono::duration<double> downloading{0};
    for (auto _ : state) {
        state.PauseTiming();
        Download download;
        testing_support::PtyInstrumentRunner runner(
            download.line.pty, testing_support::PtyInstrumentRunner::Pace::AsFastAsPossible);
        QEventLoop loop;
        QObject::connect(&*download.line.driver, &logfetch::DownloadDriver::finished, &loop,
                         &QEventLoop::quit);
        state.ResumeTiming();
        const auto began = std::chrono::steady_clock::now();
        runner.play(script);
        runEventLoop(60s, loop);
        downloading += std::chrono::steady_clock::now() - began;
        if (!download.line.finished ||
            download.line.driver->bytesInFile() != static_cast<std::int64_t>(kLogBytes)) {
            state.SkipWithError("the download did not complete");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kLogBytes));
    // The goal: at least 100 times the 960 bytes a second of the line.
    state.counters["times_the_line"] =
        static_cast<double>(state.iterations() * kLogBytes) / downloading.count() / 960.0;
}
BENCHMARK(BM_DownloadThroughput)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// Waits 10 s for an instrument that never starts, as the window does.
void BM_WaitingForASilentInstrument(benchmark::State& state)
{
    double cpu = 0;
    for (auto _ : state) {
        Download download;
        QEventLoop loop;
        const double before = processCpuSeconds();
        runEventLoop(10s, loop);
        cpu = processCpuSeconds() - before;
    }
    state.counters["cpu_percent_of_a_core"] = cpu / 10.0 * 100.0;
}
BENCHMARK(BM_WaitingForASilentInstrument)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
