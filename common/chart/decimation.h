#pragma once

#include <vector>

#include "common/chart/reading_series.h"

namespace common {

struct ChartPoint {
    double x;
    double y;
    bool operator==(const ChartPoint&) const = default;
};

// The points that draw `series` between the times `from` and `to` across `columns` pixel
// columns: for each column that holds readings, its smallest and its largest reading, in
// the order they came, so a line through them reaches every extreme the full series
// reaches. The nearest reading on either side of the range is added, so the line runs on
// to the edges. At most 2 * columns + 2 points, whatever the number of readings.
std::vector<ChartPoint> decimate(const ReadingSeries& series, double from, double to, int columns);

}  // namespace common
