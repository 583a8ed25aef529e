#include "common/chart/decimation.h"

#include <algorithm>
#include <cstddef>
#include <limits>

namespace common {

namespace {

// The smallest and largest reading of one pixel column, by index.
struct ColumnExtremes {
    std::size_t lowest = std::numeric_limits<std::size_t>::max();
    std::size_t highest = 0;
    bool empty() const { return lowest == std::numeric_limits<std::size_t>::max(); }
};

class ColumnScan {
public:
    ColumnScan(const ReadingSeries& series, double from, double to, int columns)
        : series_(series),
          from_(from),
          columns_(std::max(columns, 1)),
          scale_(columns_ / std::max(to - from, 1e-9))
    {
    }

    int columnOf(double time) const
    {
        return std::clamp(static_cast<int>((time - from_) * scale_), 0, columns_ - 1);
    }

    // Takes reading `index` into its column, emitting the column before when it ends.
    void take(std::size_t index, std::vector<ChartPoint>& points)
    {
        const int column = columnOf(series_.time(index));
        if (column != column_) {
            emit(points);
            column_ = column;
        }
        if (current_.empty()) {
            current_.lowest = current_.highest = index;
            return;
        }
        if (series_.value(index) < series_.value(current_.lowest))
            current_.lowest = index;
        if (series_.value(index) > series_.value(current_.highest))
            current_.highest = index;
    }

    void emit(std::vector<ChartPoint>& points)
    {
        if (current_.empty())
            return;
        const std::size_t first = std::min(current_.lowest, current_.highest);
        const std::size_t second = std::max(current_.lowest, current_.highest);
        points.push_back(pointAt(first));
        if (second != first)
            points.push_back(pointAt(second));
        current_ = {};
    }

    ChartPoint pointAt(std::size_t index) const { return {series_.time(index), series_.value(index)}; }

private:
    const ReadingSeries& series_;
    double from_;
    int columns_;
    double scale_;
    int column_ = -1;
    ColumnExtremes current_;
};

}  // namespace

std::vector<ChartPoint> decimate(const ReadingSeries& series, double from, double to, int columns)
{
    std::vector<ChartPoint> points;
    if (series.empty() || to < from)
        return points;
    ColumnScan scan(series, from, to, columns);
    if (!series.timesAscend()) {
        // Times that go back draw in arrival order, each reading in the column of its time.
        for (std::size_t i = 0; i < series.size(); ++i)
            if (series.time(i) >= from && series.time(i) <= to)
                scan.take(i, points);
        scan.emit(points);
        return points;
    }
    const auto [first, last] = series.indexRange(from, to);
    if (first > 0)
        points.push_back(scan.pointAt(first - 1));
    for (std::size_t i = first; i < last; ++i)
        scan.take(i, points);
    scan.emit(points);
    if (last < series.size())
        points.push_back(scan.pointAt(last));
    return points;
}

}  // namespace common
