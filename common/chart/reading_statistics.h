#pragma once

#include <cstddef>
#include <optional>

#include "common/chart/reading_series.h"

namespace common {

// Readings below `low` or above `high` lie outside the band.
struct ReadingBand {
    double low;
    double high;
};

struct ReadingStatistics {
    std::size_t count = 0;
    double mean = 0;
    double standardDeviation = 0;  // of a sample: divided by count - 1; 0 for one reading
    double minimum = 0;
    double maximum = 0;
    std::size_t outsideBand = 0;
};

// Count, mean, standard deviation (Welford's running sums, which lose no precision on
// readings far from zero), minimum, maximum and the count outside `band` of the readings
// whose time lies in [from, to].
ReadingStatistics statisticsOf(const ReadingSeries& series, double from, double to,
                               std::optional<ReadingBand> band = std::nullopt);

}  // namespace common
