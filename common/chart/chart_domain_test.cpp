#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/chart/chart_file_kind.h"
#include "common/chart/clock_time.h"
#include "common/chart/decimation.h"
#include "common/chart/reading_series.h"
#include "common/chart/reading_set.h"
#include "common/chart/reading_statistics.h"
#include "common/core/leading_number.h"

namespace {

using common::ChartPoint;
using common::ReadingSeries;
using common::ValueAxis;

ReadingSeries seriesOf(const std::vector<ChartPoint>& points)
{
    ReadingSeries series("test", ValueAxis::Reading);
    for (const ChartPoint& p : points)
        series.append(p.x, p.y);
    return series;
}

// A noisy series with spikes, one reading per 0.1 s.
ReadingSeries noisySeries(std::size_t count, std::uint32_t seed)
{
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(100, 5);
    ReadingSeries series("noisy", ValueAxis::Reading);
    for (std::size_t i = 0; i < count; ++i)
        series.append(static_cast<double>(i) * 0.1, i % 997 == 0 ? 1000.0 : std::round(noise(random)));
    return series;
}

TEST(ReadingNumbers, AreWholeDecimalTextsWithEitherSign)
{
    const struct {
        std::string text;
        std::optional<double> number;
    } cases[] = {
        {"57", 57},  {"-3", -3},    {"+2.5", 2.5},      {" 9999 ", 9999}, {"1e3", 1000},
        {"", {}},    {"(RAW)", {}}, {"12-07-2026", {}}, {"05:10:26", {}}, {"57x", {}},
        {"inf", {}}, {"nan", {}},   {"+-1", {}},        {"0000", 0},      {"   ", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(common::decimalNumber(c.text, common::Blanks::Spaces, common::Sign::PlusOrMinus), c.number)
            << c.text;
}

TEST(ClockTime, ParsesTimesOfDayAndRefusesTheRest)
{
    const struct {
        std::string text;
        std::optional<double> seconds;
    } cases[] = {
        {"00:00:00", 0},     {"05:10:26", 5 * 3600 + 10 * 60 + 26},
        {"23:59:59", 86399}, {"12:00:00.25", 43200.25},
        {"24:00:00", {}},    {"12:60:00", {}},
        {"12:00:60", {}},    {"1:00:00", {}},
        {"12-07-2026", {}},  {"12:00:00x", {}},
        {"12:00:00.", {}},   {"", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(common::parseClockTime(c.text), c.seconds) << c.text;
}

TEST(ClockTime, TextShowsTheTimeOfDayAndLaterDays)
{
    EXPECT_EQ(common::clockTimeText(0), "00:00:00");
    EXPECT_EQ(common::clockTimeText(5 * 3600 + 10 * 60 + 26.7), "05:10:26");
    EXPECT_EQ(common::clockTimeText(86400 + 61), "00:01:01 +1 d");
    EXPECT_EQ(common::clockTimeText(3 * 86400 + 43200), "12:00:00 +3 d");
}

TEST(DayRollover, TimesGoingBackMoreThanHalfADayAreTheNextDay)
{
    const struct {
        std::vector<double> timesOfDay;
        std::vector<double> unrolled;
    } cases[] = {
        {{100, 200, 300}, {100, 200, 300}},
        // past midnight: 23:59:50 then 00:00:05
        {{86390, 5, 20}, {86390, 86405, 86420}},
        // a clock set back an hour stays on the same day
        {{40000, 36400, 36500}, {40000, 36400, 36500}},
        // exactly half a day back is still the same day; more is the next
        {{50000, 6800, 50000, 6799}, {50000, 6800, 50000, 93199}},
        // two midnights
        {{80000, 1000, 60000, 100}, {80000, 87400, 146400, 172900}},
    };
    for (const auto& c : cases) {
        common::DayRollover rollover;
        std::vector<double> unrolled;
        for (const double t : c.timesOfDay)
            unrolled.push_back(rollover.unroll(t));
        EXPECT_EQ(unrolled, c.unrolled);
    }
}

TEST(ReadingSeries, FindsRangesByTimeAndTracksItsSpan)
{
    const ReadingSeries series = seriesOf({{1, 10}, {2, 20}, {2, 21}, {3, 30}, {5, 50}});
    EXPECT_TRUE(series.timesAscend());
    EXPECT_EQ(series.indexRange(2, 3), (std::pair<std::size_t, std::size_t>{1, 4}));
    EXPECT_EQ(series.indexRange(3.5, 4.5), (std::pair<std::size_t, std::size_t>{4, 4}));
    EXPECT_EQ(series.indexRange(0, 10), (std::pair<std::size_t, std::size_t>{0, 5}));
    EXPECT_EQ(series.earliest(), 1);
    EXPECT_EQ(series.latest(), 5);

    const ReadingSeries back = seriesOf({{5, 1}, {3, 2}, {4, 3}});
    EXPECT_FALSE(back.timesAscend());
    EXPECT_EQ(back.indexRange(3, 4), (std::pair<std::size_t, std::size_t>{0, 3}));
    EXPECT_EQ(back.earliest(), 3);
    EXPECT_EQ(back.latest(), 5);
}

// Times on a regular step are not stored; whatever the times, each reads back as it was
// appended and a range holds the readings a visit of each would find.
TEST(ReadingSeries, GivesBackEveryTimeWhetherOnAStepOrNot)
{
    const std::vector<std::vector<double>> cases{
        {0, 1, 2, 3, 4, 5},                // a data log's interval
        {0.1, 0.3, 0.5, 0.7, 0.9},         // a step a double does not hold exactly
        {10, 20, 30, 31, 41, 51},          // a gap, then on another step
        {7, 7, 7, 7},                      // one time for every reading
        {86'390, 86'400, 86'410, 86'425},  // past midnight, then off the step
        {5, 4, 3, 2, 2.5},                 // going back
        {1, 5, 2, 8},                      // off the step from the third
        {42},                              // one reading
    };
    for (const auto& times : cases) {
        ReadingSeries series("test", ValueAxis::Reading);
        for (std::size_t i = 0; i < times.size(); ++i)
            series.append(times[i], static_cast<double>(i));
        ASSERT_EQ(series.size(), times.size());
        for (std::size_t i = 0; i < times.size(); ++i)
            EXPECT_EQ(series.time(i), times[i]) << "reading " << i;
        EXPECT_EQ(series.earliest(), *std::min_element(times.begin(), times.end()));
        EXPECT_EQ(series.latest(), *std::max_element(times.begin(), times.end()));
        EXPECT_EQ(series.timesAscend(), std::is_sorted(times.begin(), times.end()));
        if (!series.timesAscend())
            continue;
        for (const double from : times)
            for (const double to : {from, from + 0.2, from + 10.0}) {
                const auto inside = [&](double t) { return from <= t && t <= to; };
                const auto [first, last] = series.indexRange(from, to);
                const auto firstInside = std::find_if(times.begin(), times.end(), inside) - times.begin();
                EXPECT_EQ(first, static_cast<std::size_t>(firstInside)) << from << ".." << to;
                EXPECT_EQ(last - first,
                          static_cast<std::size_t>(std::count_if(times.begin(), times.end(), inside)));
            }
    }
}

TEST(ReadingSeries, ReadingsOnARegularStepHoldAtMost8BytesEach)
{
    ReadingSeries series("interval", ValueAxis::Reading);
    for (int i = 0; i < 1'000'000; ++i)
        series.append(3600.0 + i * 2.0, i % 300);
    EXPECT_LE(series.bytesHeld(), 8u * series.size());
}

TEST(ReadingSeries, AMillionReadingsHoldAtMost32BytesEach)
{
    const ReadingSeries series = noisySeries(1'000'000, 1);
    EXPECT_LE(series.bytesHeld(), 32u * series.size());
}

TEST(ReadingSet, KeepsOneSeriesPerNameAndItsReferences)
{
    common::ReadingSet set;
    ReadingSeries& reading = set.series("Reading (RAW)", ValueAxis::Reading);
    reading.append(10, 1);
    for (int i = 0; i < 100; ++i)
        set.series("column " + std::to_string(i), ValueAxis::Reading).append(20 + i, i);
    EXPECT_EQ(&set.series("Reading (RAW)", ValueAxis::Temperature), &reading);
    EXPECT_EQ(reading.axis(), ValueAxis::Reading);
    EXPECT_EQ(set.all().size(), 101u);
    EXPECT_EQ(set.readingCount(), 101u);
    EXPECT_EQ(set.timeSpan(), (std::pair<double, double>{10, 119}));
    EXPECT_EQ(set.find("missing"), nullptr);
    EXPECT_FALSE(common::ReadingSet().timeSpan());
}

// Every pixel column's smallest and largest reading, found the long way.
void expectEveryExtremeKept(const ReadingSeries& series, double from, double to, int columns)
{
    const std::vector<ChartPoint> points = common::decimate(series, from, to, columns);
    EXPECT_LE(points.size(), 2u * static_cast<std::size_t>(columns) + 2u);
    std::vector<std::optional<double>> lowest(static_cast<std::size_t>(columns));
    std::vector<std::optional<double>> highest(static_cast<std::size_t>(columns));
    const auto columnOf = [&](double t) {
        return std::clamp(static_cast<int>((t - from) * columns / (to - from)), 0, columns - 1);
    };
    for (std::size_t i = 0; i < series.size(); ++i) {
        if (series.time(i) < from || series.time(i) > to)
            continue;
        const auto column = static_cast<std::size_t>(columnOf(series.time(i)));
        const double v = series.value(i);
        lowest[column] = lowest[column] ? std::min(*lowest[column], v) : v;
        highest[column] = highest[column] ? std::max(*highest[column], v) : v;
    }
    std::vector<std::optional<double>> drawnLowest(lowest.size());
    std::vector<std::optional<double>> drawnHighest(highest.size());
    for (const ChartPoint& p : points) {
        if (p.x < from || p.x > to)
            continue;
        const auto column = static_cast<std::size_t>(columnOf(p.x));
        drawnLowest[column] = drawnLowest[column] ? std::min(*drawnLowest[column], p.y) : p.y;
        drawnHighest[column] = drawnHighest[column] ? std::max(*drawnHighest[column], p.y) : p.y;
    }
    EXPECT_EQ(drawnLowest, lowest);
    EXPECT_EQ(drawnHighest, highest);
    for (std::size_t i = 1; i < points.size(); ++i)
        ASSERT_LE(points[i - 1].x, points[i].x) << "points out of time order at " << i;
}

TEST(Decimation, KeepsEveryColumnsMinimumAndMaximum)
{
    const ReadingSeries series = noisySeries(200'000, 7);
    const struct {
        double from;
        double to;
        int columns;
    } cases[] = {
        {0, 20'000, 1000}, {0, 20'000, 1}, {1234.5, 1300, 640}, {19'000, 25'000, 333}, {-50, 10, 50},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + ".." + std::to_string(c.to));
        expectEveryExtremeKept(series, c.from, c.to, c.columns);
    }
}

// The decimation the long way: every reading in the range visited in order, each
// column's first smallest and first largest kept, with the neighbours outside the range.
std::vector<ChartPoint> decimatedOneByOne(const ReadingSeries& series, double from, double to, int columns)
{
    std::vector<ChartPoint> points;
    const auto columnOf = [&](double t) {
        return std::clamp(static_cast<int>((t - from) * (columns / (to - from))), 0, columns - 1);
    };
    const auto [first, last] = series.indexRange(from, to);
    if (first > 0)
        points.push_back({series.time(first - 1), series.value(first - 1)});
    std::size_t begin = first;
    while (begin < last) {
        std::size_t lowest = begin;
        std::size_t highest = begin;
        std::size_t i = begin + 1;
        for (; i < last && columnOf(series.time(i)) == columnOf(series.time(begin)); ++i) {
            lowest = series.value(i) < series.value(lowest) ? i : lowest;
            highest = series.value(i) > series.value(highest) ? i : highest;
        }
        points.push_back({series.time(std::min(lowest, highest)), series.value(std::min(lowest, highest))});
        if (lowest != highest)
            points.push_back(
                {series.time(std::max(lowest, highest)), series.value(std::max(lowest, highest))});
        begin = i;
    }
    if (last < series.size())
        points.push_back({series.time(last), series.value(last)});
    return points;
}

TEST(Decimation, TakesTheSameReadingsAsVisitingEachOne)
{
    // Rounded noise repeats values, so the first of equal extremes must be the one kept;
    // ranges start and end inside and on the edges of the summarised blocks.
    const ReadingSeries series = noisySeries(100'000, 11);
    const struct {
        double from;
        double to;
        int columns;
    } cases[] = {
        {0, 10'000, 1500}, {0, 10'000, 7}, {6.4, 6.4 + 102.4, 3}, {12.35, 8765.4, 1000}, {9000, 9000.5, 20},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + ".." + std::to_string(c.to));
        EXPECT_EQ(common::decimate(series, c.from, c.to, c.columns),
                  decimatedOneByOne(series, c.from, c.to, c.columns));
    }
}

TEST(Decimation, KeepsFewSeriesWholeAndReachesPastTheEdges)
{
    const ReadingSeries series = seriesOf({{0, 5}, {10, 1}, {20, 9}, {30, 3}, {40, 7}});
    EXPECT_EQ(common::decimate(series, 0, 40, 100),
              (std::vector<ChartPoint>{{0, 5}, {10, 1}, {20, 9}, {30, 3}, {40, 7}}));
    // the neighbours just outside the range come along
    EXPECT_EQ(common::decimate(series, 15, 25, 100), (std::vector<ChartPoint>{{10, 1}, {20, 9}, {30, 3}}));
    // one column: its minimum and maximum in the order they came
    EXPECT_EQ(common::decimate(series, 0, 40, 1), (std::vector<ChartPoint>{{10, 1}, {20, 9}}));
    EXPECT_TRUE(common::decimate(ReadingSeries("empty", ValueAxis::Reading), 0, 1, 10).empty());
}

TEST(Decimation, TimesThatGoBackKeepTheirExtremesToo)
{
    const ReadingSeries series = seriesOf({{5, 1}, {1, 8}, {3, -2}, {4, 6}, {2, 0}});
    const std::vector<ChartPoint> points = common::decimate(series, 0, 6, 1);
    EXPECT_EQ(points, (std::vector<ChartPoint>{{1, 8}, {3, -2}}));
}

// Mean and standard deviation summed twice, over the readings as stored.
common::ReadingStatistics twoPass(const ReadingSeries& series, double from, double to)
{
    common::ReadingStatistics s;
    double sum = 0;
    for (std::size_t i = 0; i < series.size(); ++i)
        if (series.time(i) >= from && series.time(i) <= to) {
            sum += series.value(i);
            s.minimum = s.count == 0 ? series.value(i) : std::min(s.minimum, series.value(i));
            s.maximum = s.count == 0 ? series.value(i) : std::max(s.maximum, series.value(i));
            ++s.count;
        }
    s.mean = s.count ? sum / static_cast<double>(s.count) : 0;
    double squares = 0;
    for (std::size_t i = 0; i < series.size(); ++i)
        if (series.time(i) >= from && series.time(i) <= to)
            squares += (series.value(i) - s.mean) * (series.value(i) - s.mean);
    s.standardDeviation = s.count > 1 ? std::sqrt(squares / static_cast<double>(s.count - 1)) : 0;
    return s;
}

TEST(ReadingStatistics, AgreesWithATwoPassSum)
{
    const ReadingSeries series = noisySeries(100'000, 3);
    const struct {
        double from;
        double to;
    } ranges[] = {{0, 10'000}, {100, 200},       {5000.05, 5000.35}, {9999.9, 20'000},
                  {-5, -1},    {51.25, 7777.75}, {102.4, 204.8},     {102.35, 204.85}};
    for (const auto& r : ranges) {
        const common::ReadingStatistics got = common::statisticsOf(series, r.from, r.to);
        const common::ReadingStatistics expected = twoPass(series, r.from, r.to);
        EXPECT_EQ(got.count, expected.count) << r.from;
        EXPECT_NEAR(got.mean, expected.mean, 1e-9 * std::abs(expected.mean) + 1e-12) << r.from;
        EXPECT_NEAR(got.standardDeviation, expected.standardDeviation,
                    1e-9 * expected.standardDeviation + 1e-12)
            << r.from;
        EXPECT_EQ(got.minimum, expected.minimum) << r.from;
        EXPECT_EQ(got.maximum, expected.maximum) << r.from;
        // Bands that hold whole blocks, none, or cut through them.
        for (const common::ReadingBand band :
             {common::ReadingBand{0, 2000}, common::ReadingBand{95, 105}, common::ReadingBand{200, 300}}) {
            std::size_t outside = 0;
            for (std::size_t i = 0; i < series.size(); ++i)
                if (series.time(i) >= r.from && series.time(i) <= r.to)
                    outside += series.value(i) < band.low || series.value(i) > band.high ? 1 : 0;
            EXPECT_EQ(common::statisticsOf(series, r.from, r.to, band).outsideBand, outside)
                << r.from << " band " << band.low;
        }
    }
}

TEST(ReadingStatistics, KnownSeriesAndBand)
{
    // 2, 4, 4, 4, 5, 5, 7, 9: mean 5, sample SD sqrt(32 / 7)
    const ReadingSeries series = seriesOf({{1, 2}, {2, 4}, {3, 4}, {4, 4}, {5, 5}, {6, 5}, {7, 7}, {8, 9}});
    const common::ReadingStatistics s = common::statisticsOf(series, 0, 10, common::ReadingBand{4, 6});
    EXPECT_EQ(s.count, 8u);
    EXPECT_DOUBLE_EQ(s.mean, 5);
    EXPECT_DOUBLE_EQ(s.standardDeviation, std::sqrt(32.0 / 7));
    EXPECT_EQ(s.minimum, 2);
    EXPECT_EQ(s.maximum, 9);
    EXPECT_EQ(s.outsideBand, 3u);  // 2, 7 and 9; the band's edges are inside

    const common::ReadingStatistics one = common::statisticsOf(series, 5, 5);
    EXPECT_EQ(one.count, 1u);
    EXPECT_EQ(one.standardDeviation, 0);
    EXPECT_EQ(common::statisticsOf(series, 20, 30).count, 0u);
}

TEST(ReadingStatistics, ReadingsFarFromZeroKeepTheirSpread)
{
    ReadingSeries series("large", ValueAxis::Reading);
    for (int i = 0; i < 1000; ++i)
        series.append(i, 1'000'000 + (i % 2 == 0 ? 1 : -1));
    const common::ReadingStatistics s = common::statisticsOf(series, 0, 1000);
    EXPECT_NEAR(s.mean, 1'000'000, 1e-6);
    EXPECT_NEAR(s.standardDeviation, std::sqrt(1000.0 / 999), 1e-9);
}

TEST(ChartFileKind, TakesPngAndSvgInAnyCase)
{
    using common::ChartFileKind;
    const struct {
        std::string path;
        std::optional<ChartFileKind> kind;
    } cases[] = {
        {"run.png", ChartFileKind::Png},
        {"run.SVG", ChartFileKind::Svg},
        {"/a.b/run.Png", ChartFileKind::Png},
        {"run.jpg", {}},
        {"run", {}},
        {"png", {}},
        {"run.png.txt", {}},
        {".svg", ChartFileKind::Svg},
    };
    for (const auto& c : cases)
        EXPECT_EQ(common::chartFileKind(c.path), c.kind) << c.path;
}

TEST(ChartFileKind, NumbersChartsOnlyWhenThereAreSeveral)
{
    EXPECT_EQ(common::numberedChartPath("out/log.svg", 1, 1), "out/log.svg");
    EXPECT_EQ(common::numberedChartPath("out/log.svg", 1, 3), "out/log-1.svg");
    EXPECT_EQ(common::numberedChartPath("out/log.svg", 3, 3), "out/log-3.svg");
    EXPECT_EQ(common::numberedChartPath("out.d/log", 2, 2), "out.d/log-2");
}

}  // namespace
