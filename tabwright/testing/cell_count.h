#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "tabwright/capture/capture_parser.h"
#include "tabwright/capture/row_sink.h"
#include "tabwright/capture/time_of_day.h"

namespace testing_support {

// A clock that always says noon.
class NoonClock : public tabwright::TimeOfDay {
public:
    std::int32_t millisecondsSinceMidnight() override { return 12 * 3600 * 1000; }
};

// The cells a capture makes of `text`, counted by the parser itself: what a drain's
// cells/s are counted in.
inline std::size_t cellsOf(const std::string& text)
{
    class CountingSink : public tabwright::RowSink {
    public:
        void writeRow(int, int, std::span<const tabwright::CellValue> values) override
        {
            cells += values.size();
        }
        std::size_t cells = 0;
    };
    NoonClock clock;
    tabwright::CaptureParser parser(clock);
    CountingSink sink;
    parser.append(text);
    parser.processReceivedText(sink);
    return sink.cells;
}

}  // namespace testing_support
