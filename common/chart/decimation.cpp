#include "common/chart/decimation.h"

#include <algorithm>
#include <cstddef>
#include <limits>

#include "common/chart/index_bisection.h"

namespace common {

namespace {

// The smallest and largest reading of one pixel column, by index: the first of equal ones.
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

    int columns() const { return columns_; }

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
        consider(index);
    }

    // Takes readings [first, last), all of one column, into the current column: whole
    // blocks through their summarised extremes, the readings around them one at a time.
    void takeColumn(std::size_t first, std::size_t last)
    {
        constexpr std::size_t kBlock = ReadingSeries::kExtremesBlock;
        const auto& blocks = series_.blockExtremes();
        std::size_t i = first;
        while (i < last) {
            const std::size_t block = i / kBlock;
            if (i % kBlock == 0 && i + kBlock <= last && block < blocks.size()) {
                consider(i + blocks[block].lowest);
                consider(i + blocks[block].highest);
                i += kBlock;
                continue;
            }
            const std::size_t end = std::min(last, (block + 1) * kBlock);
            for (; i < end; ++i)
                consider(i);
        }
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
    // Readings come in index order; a later one replaces an extreme only when beyond it.
    void consider(std::size_t index)
    {
        if (current_.empty()) {
            current_.lowest = current_.highest = index;
            return;
        }
        if (series_.value(index) < series_.value(current_.lowest))
            current_.lowest = index;
        if (series_.value(index) > series_.value(current_.highest))
            current_.highest = index;
    }

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
    points.reserve(2 * static_cast<std::size_t>(scan.columns()) + 2);
    if (first > 0)
        points.push_back(scan.pointAt(first - 1));
    // Ascending times fill the columns in order: each column's end is found by galloping
    // ahead from its start, then bisecting, as the column of a time never falls as the
    // time grows; the search stays near the readings it has just read.
    std::size_t begin = first;
    while (begin < last) {
        const int column = scan.columnOf(series.time(begin));
        const auto inColumn = [&](std::size_t index) { return scan.columnOf(series.time(index)) == column; };
        std::size_t low = begin + 1;
        std::size_t step = 1;
        while (low + step < last && inColumn(low + step)) {
            low += step;
            step *= 2;
        }
        low = firstIndexNotBefore(low, std::min(last, low + step), inColumn);
        scan.takeColumn(begin, low);
        scan.emit(points);
        begin = low;
    }
    if (last < series.size())
        points.push_back(scan.pointAt(last));
    return points;
}

}  // namespace common
