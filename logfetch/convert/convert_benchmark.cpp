// Converts a generated 16 MB .BIN into its reports and compares the speed with
// a plain buffered write of the same number of output bytes.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "logfetch/convert/convert_bin_file.h"
#include "logfetch/testing/bin_builder.h"
#include "logfetch/testing/large_log.h"
#include "testing/scripted_prompter.h"
#include "testing/temp_folder.h"

namespace {

constexpr std::size_t kTargetBytes = 16 * 1024 * 1024;

struct Fixture {
    testing_support::TempFolder folder;
    std::size_t binBytes = 0;
    std::size_t reportBytes = 0;

    Fixture()
    {
        const auto bin = testing_support::largeIntervalLog(kTargetBytes);
        binBytes = bin.size();
        testing_support::writeFile(folder.file("big.bin"), bin);
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void BM_ConvertSixteenMegabytes(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        logfetch::StepValues values;
        testing_support::ScriptedPrompter prompter;
        logfetch::ConvertBinFile(f.folder.path(), "big.bin", values, prompter, [] {});
        f.reportBytes =
            std::filesystem::file_size(values.gPrnFile) + std::filesystem::file_size(values.gCsvFile);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.binBytes));
    state.counters["report_MB"] = static_cast<double>(f.reportBytes) / 1e6;
}
BENCHMARK(BM_ConvertSixteenMegabytes)->Unit(benchmark::kMillisecond)->MinTime(3);

// The same number of output bytes, in lines of the reports' length, through
// two plain buffered C streams.
void BM_PlainBufferedWriteOfTheReportBytes(benchmark::State& state)
{
    Fixture& f = fixture();
    const std::string line(40, 'x');
    for (auto _ : state) {
        std::FILE* a = std::fopen(f.folder.file("plain1.txt").c_str(), "wb");
        std::FILE* b = std::fopen(f.folder.file("plain2.txt").c_str(), "wb");
        std::setvbuf(a, nullptr, _IOFBF, 1 << 16);
        std::setvbuf(b, nullptr, _IOFBF, 1 << 16);
        for (std::size_t written = 0; written < f.reportBytes; written += 2 * (line.size() + 2)) {
            std::fwrite(line.data(), 1, line.size(), a);
            std::fwrite("\r\n", 1, 2, a);
            std::fwrite(line.data(), 1, line.size(), b);
            std::fwrite("\r\n", 1, 2, b);
        }
        std::fclose(a);
        std::fclose(b);
    }
    // Reported against the input size, so the two MB/s figures compare directly.
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.binBytes));
}
BENCHMARK(BM_PlainBufferedWriteOfTheReportBytes)->Unit(benchmark::kMillisecond)->MinTime(3);

// Prints, after the table, how many times slower the conversion is than the
// plain write of its output.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            const std::string name = run.benchmark_name();
            if (name.starts_with("BM_ConvertSixteenMegabytes"))
                convertSeconds_ = run.GetAdjustedRealTime();
            else if (name.starts_with("BM_PlainBufferedWrite"))
                plainSeconds_ = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        if (convertSeconds_ > 0 && plainSeconds_ > 0)
            std::printf("conversion / plain write of the same output: %.2fx (goal: within 1.5x)\n",
                        convertSeconds_ / plainSeconds_);
    }

private:
    double convertSeconds_ = 0;
    double plainSeconds_ = 0;
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
