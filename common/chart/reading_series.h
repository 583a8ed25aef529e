#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "common/chart/chunked_values.h"
#include "common/chart/reading_moments.h"

namespace common {

// Which of the chart's two value axes a series is drawn against.
enum class ValueAxis { Reading, Temperature };

// One named series of readings: (time in seconds, value) pairs in arrival order. Times
// are seconds since the midnight before the run began, so they grow past one day.
// While the times come at one regular step (a data log's interval) they are not stored:
// a reading then costs 4 bytes (a float value), and from the first time off that step 12
// (a double time beside it), in chunks that never move once filled. Summaries of
// whole blocks of readings, kept as they arrive (well under a byte a reading), let a
// range's statistics and a pixel column's extremes be found without visiting every
// reading.
class ReadingSeries {
public:
    ReadingSeries(std::string name, ValueAxis axis) : name_(std::move(name)), axis_(axis) {}

    const std::string& name() const { return name_; }
    ValueAxis axis() const { return axis_; }
    // Whether a chart lists the series: a column that holds text in most rows is kept but
    // not offered.
    bool offered() const { return offered_; }
    void setOffered(bool offered) { offered_ = offered; }
    // Whether a chart draws the series before the user chooses: columns such as a line's
    // running index are offered but start hidden.
    bool shownAtFirst() const { return shownAtFirst_; }
    void setShownAtFirst(bool shown) { shownAtFirst_ = shown; }

    void append(double seconds, double value);
    void clear();

    std::size_t size() const { return values_.size(); }
    bool empty() const { return values_.empty(); }
    double time(std::size_t index) const { return times_.empty() ? stepTime(index) : times_[index]; }
    double value(std::size_t index) const { return values_[index]; }
    // Whether every time is at or after the one before, so a range is found by bisection.
    bool timesAscend() const { return timesAscend_; }
    // The earliest and the latest time; meaningful only when the series is not empty.
    double earliest() const { return earliest_; }
    double latest() const { return latest_; }
    // The moments of readings [i * kMomentsBlock, (i + 1) * kMomentsBlock), for each
    // whole block.
    static constexpr std::size_t kMomentsBlock = 1024;
    const std::vector<ReadingMoments>& blockMoments() const { return blockMoments_; }
    // The offsets in block i of kExtremesBlock readings of its first smallest and its
    // first largest reading, for each whole block.
    static constexpr std::size_t kExtremesBlock = 64;
    struct BlockExtremes {
        std::uint8_t lowest;
        std::uint8_t highest;
    };
    const std::vector<BlockExtremes>& blockExtremes() const { return blockExtremes_; }

    // Bytes the readings hold, reserve included.
    std::size_t bytesHeld() const;

    // The first and one-past-last index of the readings in [from, to]; for times that do
    // not ascend, the whole series (callers then test each time).
    std::pair<std::size_t, std::size_t> indexRange(double from, double to) const;

private:
    // Summarises the block of kExtremesBlock readings just completed, and the block of
    // kMomentsBlock when that is complete too.
    void summariseLastBlocks();
    // Where the regular step puts reading `index`.
    double stepTime(std::size_t index) const { return firstTime_ + static_cast<double>(index) * step_; }

    std::string name_;
    ValueAxis axis_;
    // Empty while every time is firstTime_ + index * step_; then each reading's time.
    ChunkedValues<double> times_;
    double firstTime_ = 0;
    double step_ = 0;
    ChunkedValues<float> values_;
    std::vector<ReadingMoments> blockMoments_;
    std::vector<BlockExtremes> blockExtremes_;
    double earliest_ = 0;
    double latest_ = 0;
    bool timesAscend_ = true;
    bool offered_ = true;
    bool shownAtFirst_ = true;
};

}  // namespace common
