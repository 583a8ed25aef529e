#pragma once

#include <cstddef>

namespace common {

// Count, mean, sum of squared deviations, minimum and maximum of some readings, taken one
// at a time (Welford's running sums, which lose no precision on readings far from zero)
// or merged from two disjoint groups (the pairwise form of the same sums).
class ReadingMoments {
public:
    // The moments of `count` readings at `values`, summed in two passes.
    static ReadingMoments of(const float* values, std::size_t count);

    void add(double value);
    void merge(const ReadingMoments& other);

    std::size_t count() const { return count_; }
    double mean() const { return mean_; }
    // Of a sample: divided by count - 1; 0 for fewer than two readings.
    double standardDeviation() const;
    double minimum() const { return minimum_; }
    double maximum() const { return maximum_; }

private:
    std::size_t count_ = 0;
    double mean_ = 0;
    double sumOfSquares_ = 0;
    double minimum_ = 0;
    double maximum_ = 0;
};

}  // namespace common
