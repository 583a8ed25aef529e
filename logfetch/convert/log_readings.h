#pragma once

#include <deque>
#include <optional>
#include <string>
#include <string_view>

#include "common/chart/clock_time.h"
#include "common/chart/reading_series.h"
#include "common/chart/reading_set.h"
#include "logfetch/convert/record_observer.h"
#include "logfetch/convert/record_time.h"

namespace logfetch {

// The readings of one data set of a data log, ready for a chart.
struct DataSetReadings {
    int number = 0;
    common::ReadingSet readings;
};

// Gathers the readings of each data set a conversion decodes: "Reading (UNIT)" and
// "Temperature (C)" or "(F)" over the records' times, which grow over midnight.
class LogReadings : public RecordObserver {
public:
    void dataSetStarted(int dataSetNumber, std::string_view unit) override;
    void recordDecoded(const DateTimeText& time, double reading, std::optional<double> temperature,
                       std::string_view temperatureUnit) override;

    const std::deque<DataSetReadings>& dataSets() const { return dataSets_; }

private:
    std::deque<DataSetReadings> dataSets_;
    std::string readingName_;  // of the latest data set's readings
    // The series of the latest data set that its records go to; the deque keeps them in place.
    common::ReadingSeries* readingSeries_ = nullptr;
    common::ReadingSeries* temperatureSeries_ = nullptr;
    std::string temperatureUnit_;  // the unit of temperatureSeries_
    common::DayRollover rollover_;
};

}  // namespace logfetch
