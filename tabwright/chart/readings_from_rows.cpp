#include "tabwright/chart/readings_from_rows.h"

#include <optional>
#include <string_view>
#include <variant>

#include "common/core/leading_number.h"

namespace tabwright {

namespace {

std::optional<double> numberIn(const CellValue& value)
{
    if (const auto* number = std::get_if<double>(&value))
        return *number;
    return common::decimalNumber(std::get<std::string_view>(value), common::Blanks::Spaces, common::Sign::PlusOrMinus);
}

// The unit inside "(UNIT)", or empty for any other cell.
std::optional<std::string_view> unitIn(const CellValue& value)
{
    const auto* text = std::get_if<std::string_view>(&value);
    if (!text || text->size() < 3 || text->front() != '(' || text->back() != ')')
        return std::nullopt;
    return text->substr(1, text->size() - 2);
}

std::optional<double> clockTimeIn(const CellValue& value)
{
    const auto* text = std::get_if<std::string_view>(&value);
    return text ? common::parseClockTime(*text) : std::nullopt;
}

bool isTemperatureUnit(std::string_view unit)
{
    return unit == "C" || unit == "F";
}

}  // namespace

std::string columnLetters(int column)
{
    std::string letters;
    for (; column > 0; column = (column - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (column - 1) % 26));
    return letters;
}

void ReadingsFromRows::writeRow(int row, int firstColumn, std::span<const CellValue> values)
{
    if (values.empty())
        return;
    // Only a block's time stamp is written as a number; every received field is text.
    if (row == 1 && values.size() == 1 && std::holds_alternative<double>(values.front())) {
        blockStamps_[firstColumn] = std::get<double>(values.front()) * 3600;
        return;
    }
    for (const CellValue& value : values)
        if (unitIn(value) || clockTimeIn(value)) {
            takeTaggedLine(firstColumn, values);
            return;
        }
    takePlainLine(firstColumn, values);
}

void ReadingsFromRows::takeTaggedLine(int firstColumn, std::span<const CellValue> values)
{
    std::optional<double> time;
    for (const CellValue& value : values)
        if ((time = clockTimeIn(value)))
            break;
    const double seconds = time ? rollover_.unroll(*time) : arrivalTime();
    std::vector<bool> used(values.size(), false);
    for (std::size_t i = 1; i < values.size(); ++i) {
        const auto unit = unitIn(values[i]);
        if (!unit || !numberIn(values[i - 1]))
            continue;
        const bool temperature = isTemperatureUnit(*unit);
        const std::string name = (temperature ? "Temperature (" : "Reading (") + std::string(*unit) + ")";
        take(name, temperature ? common::ValueAxis::Temperature : common::ValueAxis::Reading, true, seconds,
             values[i - 1]);
        used[i - 1] = used[i] = true;
    }
    for (std::size_t i = 0; i < values.size(); ++i)
        if (!used[i] && !clockTimeIn(values[i]) && !unitIn(values[i]))
            take(columnLetters(firstColumn + static_cast<int>(i)), common::ValueAxis::Reading, false, seconds,
                 values[i]);
}

void ReadingsFromRows::takePlainLine(int firstColumn, std::span<const CellValue> values)
{
    const auto stamp = blockStamps_.find(firstColumn);
    const double seconds = stamp != blockStamps_.end() ? rollover_.unroll(stamp->second) : arrivalTime();
    for (std::size_t i = 0; i < values.size(); ++i)
        take(i == 0 ? std::string("Reading") : "Field " + std::to_string(i + 1), common::ValueAxis::Reading,
             true, seconds, values[i]);
}

double ReadingsFromRows::arrivalTime()
{
    return rollover_.unroll(clock_.millisecondsSinceMidnight() / 1000.0);
}

void ReadingsFromRows::take(const std::string& name, common::ValueAxis axis, bool shownAtFirst, double time,
                            const CellValue& value)
{
    Tally& tally = tallies_[name];
    ++tally.rows;
    const std::optional<double> number = numberIn(value);
    if (number)
        ++tally.numbers;
    common::ReadingSeries* series = readings_.find(name);
    if (!series && !number)
        return;
    if (!series) {
        series = &readings_.series(name, axis);
        series->setShownAtFirst(shownAtFirst);
    }
    if (number)
        series->append(time, *number);
    series->setOffered(tally.numbers * 2 > tally.rows);
}

}  // namespace tabwright
