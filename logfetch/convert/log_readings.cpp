#include "logfetch/convert/log_readings.h"

#include <cstddef>
#include <memory>
#include <string>

#include "common/chart/reading_series.h"

namespace logfetch {

namespace {

// "Reading (PPM)" for the unit "(PPM)"; "Reading" for a blank unit such as "(   )".
std::string readingName(std::string_view unit)
{
    if (unit.size() >= 2 && unit.front() == '(' && unit.back() == ')')
        unit = unit.substr(1, unit.size() - 2);
    const std::size_t first = unit.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return "Reading";
    unit = unit.substr(first, unit.find_last_not_of(' ') - first + 1);
    return "Reading (" + std::string(unit) + ")";
}

}  // namespace

void LogReadings::dataSetStarted(int dataSetNumber, std::string_view unit)
{
    dataSets_.emplace_back().number = dataSetNumber;
    readingName_ = readingName(unit);
    readingSeries_ = temperatureSeries_ = nullptr;
    rollover_.reset();
}

void LogReadings::recordDecoded(const DateTimeText& time, double reading, std::optional<double> temperature,
                                std::string_view temperatureUnit)
{
    if (dataSets_.empty())
        dataSetStarted(1, {});
    const std::optional<double> secondsOfDay = common::parseClockTime(time.time());
    if (!secondsOfDay)
        return;
    const double seconds = rollover_.unroll(*secondsOfDay);
    common::ReadingSet& readings = dataSets_.back().readings;
    if (readingSeries_ == nullptr)
        readingSeries_ = &readings.series(readingName_, common::ValueAxis::Reading);
    readingSeries_->append(seconds, reading);
    if (!temperature)
        return;
    if (temperatureSeries_ == nullptr || temperatureUnit != temperatureUnit_) {
        temperatureUnit_ = temperatureUnit;
        temperatureSeries_ =
            &readings.series("Temperature " + temperatureUnit_, common::ValueAxis::Temperature);
    }
    temperatureSeries_->append(seconds, *temperature);
}

}  // namespace logfetch
