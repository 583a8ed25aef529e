#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "tabwright/emulator/instrument_model.h"

namespace tabwright {

// The text a VQ-480 sends: the reading line "9999" a set number of times (the
// end-of-line frequency), then a group of three empty lines, over and over.
// After reset the first output is a group. It has no index and no limits.
class Vq480Model : public InstrumentModel {
public:
    void reset() override;
    void setFourDigitIndex(std::string_view text) override;
    // Always empty.
    std::string getFourDigitIndex() const override;
    void turnOn();
    void turnOff();
    // One reading line or one whole group of empty lines; empty while off.
    std::string nextOutput() override;
    void setMinMeasurement(std::int16_t value) override;
    void setMaxMeasurement(std::int16_t value) override;
    void setMinTemperature(std::int16_t value) override;
    void setMaxTemperature(std::int16_t value) override;
    // Stored as given: 0 or less gives nothing but groups. The count of lines
    // since the last group stays, so a frequency below it makes the next
    // output a group.
    void setEOLFrequency(std::int16_t value);

private:
    std::int16_t eolFrequency_ = 16;
    std::int16_t lineCounter_ = 16;
    bool isOn_ = true;
};

}  // namespace tabwright
