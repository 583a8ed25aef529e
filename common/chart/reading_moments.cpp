#include "common/chart/reading_moments.h"

#include <algorithm>
#include <cmath>

namespace common {

ReadingMoments ReadingMoments::of(const float* values, std::size_t count)
{
    ReadingMoments moments;
    if (count == 0)
        return moments;
    double sum = 0;
    float minimum = values[0];
    float maximum = values[0];
    for (std::size_t i = 0; i < count; ++i) {
        sum += values[i];
        minimum = std::min(minimum, values[i]);
        maximum = std::max(maximum, values[i]);
    }
    moments.count_ = count;
    moments.mean_ = sum / static_cast<double>(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double deviation = values[i] - moments.mean_;
        moments.sumOfSquares_ += deviation * deviation;
    }
    moments.minimum_ = minimum;
    moments.maximum_ = maximum;
    return moments;
}

void ReadingMoments::add(double value)
{
    ++count_;
    const double delta = value - mean_;
    mean_ += delta / static_cast<double>(count_);
    sumOfSquares_ += delta * (value - mean_);
    minimum_ = count_ == 1 ? value : std::min(minimum_, value);
    maximum_ = count_ == 1 ? value : std::max(maximum_, value);
}

void ReadingMoments::merge(const ReadingMoments& other)
{
    if (other.count_ == 0)
        return;
    if (count_ == 0) {
        *this = other;
        return;
    }
    const double total = static_cast<double>(count_ + other.count_);
    const double delta = other.mean_ - mean_;
    const double otherShare = static_cast<double>(other.count_) / total;
    mean_ += delta * otherShare;
    sumOfSquares_ += other.sumOfSquares_ + delta * delta * static_cast<double>(count_) * otherShare;
    count_ += other.count_;
    minimum_ = std::min(minimum_, other.minimum_);
    maximum_ = std::max(maximum_, other.maximum_);
}

double ReadingMoments::standardDeviation() const
{
    return count_ > 1 ? std::sqrt(sumOfSquares_ / static_cast<double>(count_ - 1)) : 0;
}

}  // namespace common
