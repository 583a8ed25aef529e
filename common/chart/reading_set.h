#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string_view>
#include <utility>

#include "common/chart/reading_series.h"

namespace common {

// The series of one chart, in the order they were first seen. References to a series stay
// valid while others are added.
class ReadingSet {
public:
    // The series called `name`, added with `axis` when there is none yet.
    ReadingSeries& series(std::string_view name, ValueAxis axis);
    ReadingSeries* find(std::string_view name);
    const ReadingSeries* find(std::string_view name) const;

    std::deque<ReadingSeries>& all() { return series_; }
    const std::deque<ReadingSeries>& all() const { return series_; }
    void clear() { series_.clear(); }

    // Readings in every series: a chart redraws when this or the series count changes.
    std::size_t readingCount() const;
    // The earliest and latest time of any reading; empty without readings.
    std::optional<std::pair<double, double>> timeSpan() const;

private:
    std::deque<ReadingSeries> series_;
};

}  // namespace common
