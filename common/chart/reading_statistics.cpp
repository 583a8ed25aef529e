#include "common/chart/reading_statistics.h"

#include <algorithm>
#include <cmath>

namespace common {

namespace {

class Welford {
public:
    void add(double value)
    {
        ++count_;
        const double delta = value - mean_;
        mean_ += delta / static_cast<double>(count_);
        sumOfSquares_ += delta * (value - mean_);
        minimum_ = count_ == 1 ? value : std::min(minimum_, value);
        maximum_ = count_ == 1 ? value : std::max(maximum_, value);
    }

    ReadingStatistics result() const
    {
        ReadingStatistics statistics;
        statistics.count = count_;
        statistics.mean = mean_;
        statistics.standardDeviation =
            count_ > 1 ? std::sqrt(sumOfSquares_ / static_cast<double>(count_ - 1)) : 0;
        statistics.minimum = minimum_;
        statistics.maximum = maximum_;
        return statistics;
    }

private:
    std::size_t count_ = 0;
    double mean_ = 0;
    double sumOfSquares_ = 0;
    double minimum_ = 0;
    double maximum_ = 0;
};

}  // namespace

ReadingStatistics statisticsOf(const ReadingSeries& series, double from, double to,
                               std::optional<ReadingBand> band)
{
    Welford sums;
    std::size_t outside = 0;
    const auto [first, last] = series.indexRange(from, to);
    for (std::size_t i = first; i < last; ++i) {
        const double time = series.time(i);
        if (time < from || time > to)
            continue;
        const double value = series.value(i);
        sums.add(value);
        if (band && (value < band->low || value > band->high))
            ++outside;
    }
    ReadingStatistics statistics = sums.result();
    statistics.outsideBand = outside;
    return statistics;
}

}  // namespace common
