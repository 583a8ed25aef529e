#include "common/chart/reading_series.h"

#include <algorithm>

namespace common {

void ReadingSeries::append(double seconds, double value)
{
    if (times_.empty()) {
        earliest_ = latest_ = seconds;
    } else {
        timesAscend_ = timesAscend_ && seconds >= times_.back();
        earliest_ = std::min(earliest_, seconds);
        latest_ = std::max(latest_, seconds);
    }
    times_.push_back(seconds);
    values_.push_back(static_cast<float>(value));
    if (values_.size() % kExtremesBlock == 0)
        summariseLastBlocks();
}

void ReadingSeries::summariseLastBlocks()
{
    const float* const block = values_.data() + values_.size() - kExtremesBlock;
    BlockExtremes extremes{0, 0};
    for (std::uint8_t i = 1; i < kExtremesBlock; ++i) {
        if (block[i] < block[extremes.lowest])
            extremes.lowest = i;
        if (block[i] > block[extremes.highest])
            extremes.highest = i;
    }
    blockExtremes_.push_back(extremes);
    if (values_.size() % kMomentsBlock == 0)
        blockMoments_.push_back(
            ReadingMoments::of(values_.data() + values_.size() - kMomentsBlock, kMomentsBlock));
}

void ReadingSeries::clear()
{
    times_.clear();
    values_.clear();
    blockMoments_.clear();
    blockExtremes_.clear();
    earliest_ = latest_ = 0;
    timesAscend_ = true;
}

std::size_t ReadingSeries::bytesHeld() const
{
    return times_.capacity() * sizeof(double) + values_.capacity() * sizeof(float) +
           blockMoments_.capacity() * sizeof(ReadingMoments) +
           blockExtremes_.capacity() * sizeof(BlockExtremes);
}

std::pair<std::size_t, std::size_t> ReadingSeries::indexRange(double from, double to) const
{
    if (!timesAscend_)
        return {0, times_.size()};
    const auto first = std::lower_bound(times_.begin(), times_.end(), from);
    const auto last = std::upper_bound(first, times_.end(), to);
    return {static_cast<std::size_t>(first - times_.begin()),
            static_cast<std::size_t>(last - times_.begin())};
}

}  // namespace common
