#include "common/chart/reading_series.h"

#include <algorithm>

#include "common/chart/index_bisection.h"

namespace common {

static_assert(ChunkedValues<float>::kChunk % ReadingSeries::kMomentsBlock == 0 &&
                  ReadingSeries::kMomentsBlock % ReadingSeries::kExtremesBlock == 0,
              "a block of readings lies within one chunk");

void ReadingSeries::append(double seconds, double value)
{
    if (values_.empty()) {
        earliest_ = latest_ = firstTime_ = seconds;
    } else {
        timesAscend_ = timesAscend_ && seconds >= time(values_.size() - 1);
        earliest_ = std::min(earliest_, seconds);
        latest_ = std::max(latest_, seconds);
        if (values_.size() == 1)
            step_ = seconds - firstTime_;
        if (times_.empty() && seconds != stepTime(values_.size())) {
            // Off the step: the times so far are stored as the step gave them.
            for (std::size_t index = 0; index < values_.size(); ++index)
                times_.push_back(stepTime(index));
        }
        if (!times_.empty())
            times_.push_back(seconds);
    }
    values_.push_back(static_cast<float>(value));
    if (values_.size() % kExtremesBlock == 0)
        summariseLastBlocks();
}

void ReadingSeries::summariseLastBlocks()
{
    const float* const block = values_.last(kExtremesBlock);
    BlockExtremes extremes{0, 0};
    for (std::uint8_t i = 1; i < kExtremesBlock; ++i) {
        if (block[i] < block[extremes.lowest])
            extremes.lowest = i;
        if (block[i] > block[extremes.highest])
            extremes.highest = i;
    }
    blockExtremes_.push_back(extremes);
    if (values_.size() % kMomentsBlock == 0)
        blockMoments_.push_back(ReadingMoments::of(values_.last(kMomentsBlock), kMomentsBlock));
}

void ReadingSeries::clear()
{
    times_.clear();
    values_.clear();
    blockMoments_.clear();
    blockExtremes_.clear();
    earliest_ = latest_ = firstTime_ = step_ = 0;
    timesAscend_ = true;
}

std::size_t ReadingSeries::bytesHeld() const
{
    return times_.bytesHeld() + values_.bytesHeld() + blockMoments_.capacity() * sizeof(ReadingMoments) +
           blockExtremes_.capacity() * sizeof(BlockExtremes);
}

std::pair<std::size_t, std::size_t> ReadingSeries::indexRange(double from, double to) const
{
    if (!timesAscend_)
        return {0, size()};
    const std::size_t first = firstIndexNotBefore(0, size(), [&](std::size_t i) { return time(i) < from; });
    return {first, firstIndexNotBefore(first, size(), [&](std::size_t i) { return time(i) <= to; })};
}

}  // namespace common
