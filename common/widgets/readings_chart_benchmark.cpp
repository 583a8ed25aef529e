// The readings chart's redraw of a million readings as a live run sees it: new readings
// arrive, the followed time range moves with them, and the chart decimates to the plot's
// pixel columns, sums the statistics of the visible range, hands the new points to Qt
// Charts, lays them out and paints them. Panning measures the same for a range the user
// moves, where nothing of the previous redraw still holds.
#include <QApplication>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstddef>

#include "common/chart/reading_set.h"
#include "common/widgets/readings_chart.h"

namespace {

constexpr std::size_t kReadings = 1'000'000;
constexpr double kSecondsPerReading = 0.25;

class MillionReadings {
public:
    MillionReadings()
    {
        while (next_ < kReadings)
            addOne();
    }

    // One more reading (and every fourth time a temperature), as a run's next line adds.
    void addOne()
    {
        const double time = static_cast<double>(next_) * kSecondsPerReading;
        reading_.append(time, 50 + 40 * std::sin(time * 1e-3) + static_cast<double>(next_ % 11));
        if (next_ % 4 == 0)
            temperature_.append(time, 21 + std::sin(time * 1e-4));
        ++next_;
    }

    const common::ReadingSet& set() const { return set_; }
    double bytesPerReading() const
    {
        return static_cast<double>(reading_.bytesHeld() + temperature_.bytesHeld()) /
               static_cast<double>(set_.readingCount());
    }

private:
    common::ReadingSet set_;
    common::ReadingSeries& reading_ = set_.series("Reading (RAW)", common::ValueAxis::Reading);
    common::ReadingSeries& temperature_ = set_.series("Temperature (C)", common::ValueAxis::Temperature);
    std::size_t next_ = 0;
};

// Redraws the chart now and lets Qt lay out and paint it, as the event loop would.
void redrawAndPaint(common::ReadingsChart& chart)
{
    chart.refresh();
    QApplication::processEvents();
}

void BM_RedrawMillionReadings(benchmark::State& state)
{
    MillionReadings readings;
    common::ReadingsChart chart(readings.set());
    chart.setFollowSpan(std::nullopt);
    chart.resize(1600, 900);
    chart.show();
    QApplication::processEvents();
    for (auto _ : state) {
        readings.addOne();
        redrawAndPaint(chart);
    }
    state.counters["readings"] = static_cast<double>(readings.set().readingCount());
    state.counters["bytes_per_reading"] = readings.bytesPerReading();
}
BENCHMARK(BM_RedrawMillionReadings)->Unit(benchmark::kMillisecond);

void BM_RedrawMillionReadingsPanned(benchmark::State& state)
{
    MillionReadings readings;
    common::ReadingsChart chart(readings.set());
    chart.resize(1600, 900);
    chart.show();
    QApplication::processEvents();
    const double span = kReadings * kSecondsPerReading * 0.75;
    double from = 0;
    for (auto _ : state) {
        from = from > span / 3 ? 0 : from + 60;
        chart.showTimes(from, from + span);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_RedrawMillionReadingsPanned)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
