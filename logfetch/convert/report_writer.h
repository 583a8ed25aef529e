#pragma once

#include <cstdint>
#include <functional>

#include "logfetch/convert/byte_source.h"
#include "logfetch/convert/line_sink.h"
#include "logfetch/convert/record_observer.h"

namespace logfetch {

enum class ConversionOutcome {
    Completed,  // every data set (or all the file held) is in the reports
    Rejected,   // the kind marker is not one of the two layouts
    Failed,     // a ConversionError ended it (only ConvertBinFile reports this)
};

// Turns the bytes of one .BIN into the lines of its .PRN report and .CSV
// table. bytesRead grows by one per byte taken; yield runs after every record
// but the last of a data set, so a window can keep painting. `observer`, when
// given, hears every data set and record written.
// Throws ConversionError on a failure; what was written until then stays.
ConversionOutcome writeReports(ByteSource& bin, LineSink& prn, LineSink& csv, std::int32_t& bytesRead,
                               const std::function<void()>& yield, RecordObserver* observer = nullptr);

}  // namespace logfetch
