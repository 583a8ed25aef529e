#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "tabwright/emulator/instrument_model.h"
// nextOutput throws LimitSpanError: users of this header get it from here.
#include "tabwright/emulator/limit_draw.h"  // IWYU pragma: export
#include "tabwright/emulator/random_source.h"
#include "tabwright/emulator/wall_clock.h"

namespace tabwright {

// The text a K7RX fluorometer sends while it measures, one line at a time:
//   0 0012 :: 12-07-2026 05:10:26 = 57 (RAW)  43 (C)
// an index, the date and time of the clock, and a measurement and temperature
// drawn between the limits the panel sets. The limits are 0 until set, and
// reset leaves them as they are.
class K7rxModel : public InstrumentModel {
public:
    K7rxModel(WallClock& clock, RandomSource& random);

    void reset() override;
    // The index becomes the leading number of the text, rounded to the nearest
    // whole number (halves to the even one); a text without a number sets 0,
    // and a number outside -32768 .. 32767 leaves the index as it was.
    void setFourDigitIndex(std::string_view text) override;
    // The index's decimal digits after "0000", the last four kept:
    // 7 gives 0007, 12345 gives 2345, -5 gives 00-5.
    std::string getFourDigitIndex() const override;
    // One line, CR LF included. Throws LimitSpanError when a pair of limits is
    // too far apart (see drawBetween); nothing changes then.
    std::string nextOutput() override;
    // The limits are stored as given; the minimum may lie above the maximum.
    void setMinMeasurement(std::int16_t value) override;
    void setMaxMeasurement(std::int16_t value) override;
    void setMinTemperature(std::int16_t value) override;
    void setMaxTemperature(std::int16_t value) override;

private:
    std::string randomMeasurement();
    std::string randomTemperature();

    WallClock& clock_;
    RandomSource& random_;

    std::int16_t linePrefix_ = 0;
    std::int16_t fourDigitIndex_ = 0;
    std::string measurementUnits_;
    std::string temperatureUnits_;
    std::int16_t minMeasurement_ = 0;
    std::int16_t maxMeasurement_ = 0;
    std::int16_t minTemperature_ = 0;
    std::int16_t maxTemperature_ = 0;
};

}  // namespace tabwright
