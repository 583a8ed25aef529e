#include <cmath>
#include <cstddef>

#include <benchmark/benchmark.h>

#include "common/chart/decimation.h"
#include "common/chart/reading_series.h"
#include "common/chart/reading_statistics.h"

namespace {

constexpr std::size_t kReadings = 1'000'000;
constexpr int kColumns = 1600;

const common::ReadingSeries& millionReadings()
{
    static const common::ReadingSeries series = [] {
        common::ReadingSeries s("reading", common::ValueAxis::Reading);
        for (std::size_t i = 0; i < kReadings; ++i)
            s.append(static_cast<double>(i) * 0.1,
                     100 + 20 * std::sin(static_cast<double>(i) * 1e-3) + (i % 7));
        return s;
    }();
    return series;
}

// The chart's redraw work for a million readings: the points of every pixel column.
void BM_DecimateMillionReadings(benchmark::State& state)
{
    const common::ReadingSeries& series = millionReadings();
    std::size_t points = 0;
    for (auto _ : state) {
        const auto drawn = common::decimate(series, series.earliest(), series.latest(), kColumns);
        points = drawn.size();
        benchmark::DoNotOptimize(drawn.data());
    }
    state.counters["points"] = static_cast<double>(points);
    state.counters["bytes_per_reading"] =
        static_cast<double>(series.bytesHeld()) / static_cast<double>(series.size());
}
BENCHMARK(BM_DecimateMillionReadings)->Unit(benchmark::kMillisecond);

void BM_StatisticsMillionReadings(benchmark::State& state)
{
    const common::ReadingSeries& series = millionReadings();
    for (auto _ : state)
        benchmark::DoNotOptimize(
            common::statisticsOf(series, series.earliest(), series.latest(), common::ReadingBand{90, 110}));
}
BENCHMARK(BM_StatisticsMillionReadings)->Unit(benchmark::kMillisecond);

// Taking readings in one at a time, as a run does.
void BM_AppendMillionReadings(benchmark::State& state)
{
    for (auto _ : state) {
        common::ReadingSeries s("reading", common::ValueAxis::Reading);
        for (std::size_t i = 0; i < kReadings; ++i)
            s.append(static_cast<double>(i), static_cast<double>(i % 100));
        benchmark::DoNotOptimize(s.size());
    }
}
BENCHMARK(BM_AppendMillionReadings)->Unit(benchmark::kMillisecond);

}  // namespace
BENCHMARK_MAIN();
