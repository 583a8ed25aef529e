#pragma once

#include <optional>
#include <string_view>

#include "logfetch/convert/record_time.h"

namespace logfetch {

// Hears each data set and each record a conversion decodes, with the values its reports
// print: a chart of a data log is drawn from these instead of from a second reading of
// the file.
class RecordObserver {
public:
    virtual ~RecordObserver() = default;
    // A data set begins; `unit` is its logging unit's text (possibly empty).
    virtual void dataSetStarted(int dataSetNumber, std::string_view unit) = 0;
    // One record: its time, its reading, and its temperature where the report shows one,
    // in `temperatureUnit` ("C" or "F").
    virtual void recordDecoded(const DateTimeText& time, double reading, std::optional<double> temperature,
                               std::string_view temperatureUnit) = 0;
};

}  // namespace logfetch
