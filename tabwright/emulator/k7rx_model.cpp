#include "tabwright/emulator/k7rx_model.h"

#include <cmath>
#include <cstddef>
#include <limits>

#include "common/core/leading_number.h"

namespace tabwright {
namespace {

// The index as typed into a number box: blanks anywhere are passed over, and a number too
// large for a double is infinite, so that it is refused as out of range.
constexpr common::LeadingNumberRule kNumberBox{common::NumberBlanks::Anywhere, common::TooLarge::Infinity};

// The decimal digits of a value, zero-padded to at least `width` of them.
std::string zeroPadded(int value, std::size_t width)
{
    std::string digits = std::to_string(value);
    if (digits.size() < width)
        digits.insert(0, width - digits.size(), '0');
    return digits;
}

std::string twoDigits(int value)
{
    return zeroPadded(value, 2);
}

// Month, day and four-digit year: 12-07-2026.
std::string dateText(const WallTime& time)
{
    return twoDigits(time.month) + '-' + twoDigits(time.day) + '-' + zeroPadded(time.year, 4);
}

// 24-hour time of day: 05:10:26.
std::string timeText(const WallTime& time)
{
    return twoDigits(time.hour) + ':' + twoDigits(time.minute) + ':' + twoDigits(time.second);
}

}  // namespace

K7rxModel::K7rxModel(WallClock& clock, RandomSource& random) : clock_(clock), random_(random) {}

void K7rxModel::reset()
{
    linePrefix_ = 0;
    fourDigitIndex_ = 0;
    measurementUnits_ = "(RAW)";
    temperatureUnits_ = "(C)";
}

void K7rxModel::setFourDigitIndex(std::string_view text)
{
    // nearbyint rounds halves to the even neighbour in the default rounding
    // mode; an infinite number fails both comparisons.
    const double rounded = std::nearbyint(common::leadingNumber(text, kNumberBox));
    if (rounded >= std::numeric_limits<std::int16_t>::min() &&
        rounded <= std::numeric_limits<std::int16_t>::max())
        fourDigitIndex_ = static_cast<std::int16_t>(rounded);
}

std::string K7rxModel::getFourDigitIndex() const
{
    const std::string padded = "0000" + std::to_string(fourDigitIndex_);
    return padded.substr(padded.size() - 4);
}

std::string K7rxModel::nextOutput()
{
    // One reading of the clock, so that a line built across midnight does not
    // take the old day's date with the new day's time.
    const WallTime now = clock_.now();
    const std::string measurement = randomMeasurement();
    const std::string temperature = randomTemperature();
    return std::to_string(linePrefix_) + ' ' + getFourDigitIndex() + " :: " + dateText(now) + ' ' +
           timeText(now) + " = " + measurement + ' ' + measurementUnits_ + "  " + temperature + ' ' +
           temperatureUnits_ + "\r\n";
}

void K7rxModel::setMinMeasurement(std::int16_t value)
{
    minMeasurement_ = value;
}

void K7rxModel::setMaxMeasurement(std::int16_t value)
{
    maxMeasurement_ = value;
}

void K7rxModel::setMinTemperature(std::int16_t value)
{
    minTemperature_ = value;
}

void K7rxModel::setMaxTemperature(std::int16_t value)
{
    maxTemperature_ = value;
}

std::string K7rxModel::randomMeasurement()
{
    const float r = random_.nextUniform();
    return std::to_string(drawBetween(Reading::Measurement, minMeasurement_, maxMeasurement_, r));
}

std::string K7rxModel::randomTemperature()
{
    const float r = random_.nextUniform();
    return std::to_string(drawBetween(Reading::Temperature, minTemperature_, maxTemperature_, r));
}

}  // namespace tabwright
