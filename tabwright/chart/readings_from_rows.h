#pragma once

#include <map>
#include <span>
#include <string>

#include "common/chart/clock_time.h"
#include "common/chart/reading_set.h"
#include "tabwright/capture/row_sink.h"
#include "tabwright/capture/time_of_day.h"

namespace tabwright {

// Turns the rows a capture writes into series of readings over time.
//
// A row holding a unit cell such as "(RAW)" or "(C)" (an instrument's tagged line) gives
// the number just before each unit: "(C)" and "(F)" as "Temperature (C)" on the
// temperature axis, any other unit as "Reading (UNIT)". Its time is the row's own
// "hh:mm:ss" cell, or the arrival time (`clock`) where it has none. Its other numbers are
// offered by column letter ("A", "B"...), hidden at first.
//
// Other rows are a block's plain lines: their first field is "Reading", further fields
// "Field 2", "Field 3"...; their time is the stamp in row 1 of their block's column (a
// number, hours since midnight), or the arrival time for a block without one. Times of
// day grow over midnight. A column whose cells hold text in most rows is kept but not
// offered.
class ReadingsFromRows : public RowSink {
public:
    ReadingsFromRows(common::ReadingSet& readings, TimeOfDay& clock) : readings_(readings), clock_(clock) {}

    void writeRow(int row, int firstColumn, std::span<const CellValue> values) override;

private:
    // How many rows had a cell in a column, and how many of those held a number.
    struct Tally {
        int rows = 0;
        int numbers = 0;
    };

    void takeTaggedLine(int firstColumn, std::span<const CellValue> values);
    void takePlainLine(int firstColumn, std::span<const CellValue> values);
    double arrivalTime();
    // Adds a reading to the series `name` (if `value` is a number) and counts it.
    void take(const std::string& name, common::ValueAxis axis, bool shownAtFirst, double time,
              const CellValue& value);

    common::ReadingSet& readings_;
    TimeOfDay& clock_;
    common::DayRollover rollover_;
    std::map<int, double> blockStamps_;  // block column -> seconds since midnight
    std::map<std::string, Tally> tallies_;
};

// The column letters of a sheet column: 1 is "A", 27 "AA".
std::string columnLetters(int column);

}  // namespace tabwright
