#pragma once

#include <memory>
#include <span>

#include "common/chart/reading_set.h"
#include "tabwright/capture/row_sink.h"
#include "tabwright/capture/time_of_day.h"
#include "tabwright/chart/readings_from_rows.h"

namespace tabwright {

// The readings of one run, taken from the rows it writes (a CaptureRun's row watcher, or
// a replay's sheet); restart() forgets them for the next run.
class RunReadings : public RowSink {
public:
    explicit RunReadings(TimeOfDay& clock) : clock_(clock) { restart(); }

    void writeRow(int row, int firstColumn, std::span<const CellValue> values) override
    {
        extraction_->writeRow(row, firstColumn, values);
    }
    void restart();

    const common::ReadingSet& readings() const { return readings_; }

private:
    TimeOfDay& clock_;
    common::ReadingSet readings_;
    std::unique_ptr<ReadingsFromRows> extraction_;
};

}  // namespace tabwright
