#include "common/chart/reading_statistics.h"

#include <algorithm>

#include "common/chart/reading_moments.h"

namespace common {

namespace {

// Counts readings [first, last) outside `band`, skipping whole blocks whose extremes lie
// inside it.
std::size_t countOutside(const ReadingSeries& series, std::size_t first, std::size_t last, ReadingBand band)
{
    constexpr std::size_t kBlock = ReadingSeries::kMomentsBlock;
    const auto& blocks = series.blockMoments();
    std::size_t outside = 0;
    std::size_t i = first;
    while (i < last) {
        const std::size_t block = i / kBlock;
        const std::size_t end = std::min(last, (block + 1) * kBlock);
        if (i % kBlock == 0 && end - i == kBlock && block < blocks.size() &&
            blocks[block].minimum() >= band.low && blocks[block].maximum() <= band.high) {
            i = end;
            continue;
        }
        for (; i < end; ++i) {
            const double value = series.value(i);
            outside += static_cast<std::size_t>(value < band.low || value > band.high);
        }
    }
    return outside;
}

ReadingStatistics statisticsFrom(const ReadingMoments& moments, std::size_t outside)
{
    ReadingStatistics statistics;
    statistics.count = moments.count();
    statistics.mean = moments.mean();
    statistics.standardDeviation = moments.standardDeviation();
    statistics.minimum = moments.minimum();
    statistics.maximum = moments.maximum();
    statistics.outsideBand = outside;
    return statistics;
}

// Readings in any order: each one whose time lies in the range.
ReadingStatistics statisticsOfEach(const ReadingSeries& series, double from, double to,
                                   std::optional<ReadingBand> band)
{
    ReadingMoments moments;
    std::size_t outside = 0;
    for (std::size_t i = 0; i < series.size(); ++i) {
        const double time = series.time(i);
        if (time < from || time > to)
            continue;
        const double value = series.value(i);
        moments.add(value);
        if (band && (value < band->low || value > band->high))
            ++outside;
    }
    return statisticsFrom(moments, outside);
}

}  // namespace

ReadingStatistics statisticsOf(const ReadingSeries& series, double from, double to,
                               std::optional<ReadingBand> band)
{
    if (!series.timesAscend())
        return statisticsOfEach(series, from, to, band);
    // Times that ascend hold the range in one run of indexes: the whole blocks inside it
    // come from their summaries, the readings at either end one at a time.
    constexpr std::size_t kBlock = ReadingSeries::kMomentsBlock;
    const auto [first, last] = series.indexRange(from, to);
    const std::size_t firstBlock = (first + kBlock - 1) / kBlock;
    const std::size_t endBlock = std::max(firstBlock, std::min(last / kBlock, series.blockMoments().size()));
    const std::size_t headEnd = std::min(last, firstBlock * kBlock);
    ReadingMoments moments;
    for (std::size_t i = first; i < headEnd; ++i)
        moments.add(series.value(i));
    for (std::size_t block = firstBlock; block < endBlock; ++block)
        moments.merge(series.blockMoments()[block]);
    for (std::size_t i = std::max(headEnd, endBlock * kBlock); i < last; ++i)
        moments.add(series.value(i));
    return statisticsFrom(moments, band ? countOutside(series, first, last, *band) : 0);
}

}  // namespace common
