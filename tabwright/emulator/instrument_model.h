#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tabwright {

// What the emulator panel asks of an emulated instrument. Both instruments take
// every operation; those that mean nothing to one of them do nothing there.
class InstrumentModel {
public:
    virtual ~InstrumentModel() = default;

    virtual void reset() = 0;
    virtual void setFourDigitIndex(std::string_view text) = 0;
    virtual std::string getFourDigitIndex() const = 0;
    // The next piece of the instrument's text, line ends (CR LF) included.
    virtual std::string nextOutput() = 0;
    virtual void setMinMeasurement(std::int16_t value) = 0;
    virtual void setMaxMeasurement(std::int16_t value) = 0;
    virtual void setMinTemperature(std::int16_t value) = 0;
    virtual void setMaxTemperature(std::int16_t value) = 0;
};

}  // namespace tabwright
