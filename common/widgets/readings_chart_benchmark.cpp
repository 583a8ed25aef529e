// The readings chart's redraw of a million readings: decimation to the plot's pixel
// columns, the statistics of the visible range and the new points handed to Qt Charts.
#include <QApplication>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstddef>

#include "common/chart/reading_set.h"
#include "common/widgets/readings_chart.h"

namespace {

constexpr std::size_t kReadings = 1'000'000;

void BM_RedrawMillionReadings(benchmark::State& state)
{
    common::ReadingSet readings;
    common::ReadingSeries& reading = readings.series("Reading (RAW)", common::ValueAxis::Reading);
    common::ReadingSeries& temperature = readings.series("Temperature (C)", common::ValueAxis::Temperature);
    for (std::size_t i = 0; i < kReadings; ++i) {
        const double time = static_cast<double>(i) * 0.25;
        reading.append(time, 50 + 40 * std::sin(time * 1e-3) + static_cast<double>(i % 11));
        if (i % 4 == 0)
            temperature.append(time, 21 + std::sin(time * 1e-4));
    }
    common::ReadingsChart chart(readings);
    chart.setFollowSpan(std::nullopt);
    chart.resize(1600, 900);
    chart.show();
    QApplication::processEvents();
    for (auto _ : state)
        chart.refresh();
    state.counters["readings"] = static_cast<double>(readings.readingCount());
    state.counters["bytes_per_reading"] =
        static_cast<double>(reading.bytesHeld() + temperature.bytesHeld()) / static_cast<double>(readings.readingCount());
}
BENCHMARK(BM_RedrawMillionReadings)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
