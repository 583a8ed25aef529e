#include "tabwright/emulator/vq480_model.h"

namespace tabwright {

void Vq480Model::reset()
{
    eolFrequency_ = 16;
    lineCounter_ = 16;
    isOn_ = true;
}

void Vq480Model::setFourDigitIndex(std::string_view) {}

std::string Vq480Model::getFourDigitIndex() const
{
    return {};
}

void Vq480Model::turnOn()
{
    isOn_ = true;
}

void Vq480Model::turnOff()
{
    isOn_ = false;
}

std::string Vq480Model::nextOutput()
{
    if (!isOn_)
        return {};
    // The counter only grows while below the frequency, so it never overflows.
    if (lineCounter_ < eolFrequency_) {
        ++lineCounter_;
        return "9999\r\n";
    }
    lineCounter_ = 0;
    return "\r\n\r\n\r\n";
}

void Vq480Model::setMinMeasurement(std::int16_t) {}

void Vq480Model::setMaxMeasurement(std::int16_t) {}

void Vq480Model::setMinTemperature(std::int16_t) {}

void Vq480Model::setMaxTemperature(std::int16_t) {}

void Vq480Model::setEOLFrequency(std::int16_t value)
{
    eolFrequency_ = value;
}

}  // namespace tabwright
