#include "logfetch/convert/reading_text.h"

#include <array>
#include <cstddef>

namespace logfetch {

namespace {

// Tenths written as "I.F": 235 becomes "23.5", 4 becomes "0.4".
std::string tenthsText(int tenths)
{
    return std::to_string(tenths / 10) + '.' + static_cast<char>('0' + tenths % 10);
}

}  // namespace

std::string recordNumberText(std::uint32_t recordNumber)
{
    std::string text(5, '0');
    std::uint32_t rest = recordNumber % 100000;
    for (int i = 4; i >= 0; --i) {
        text[static_cast<std::size_t>(i)] = static_cast<char>('0' + rest % 10);
        rest /= 10;
    }
    return text;
}

std::string_view signText(const Reading& reading)
{
    return reading.negative ? "-" : " ";
}

std::string readingText(const Reading& reading)
{
    static constexpr std::array<int, 4> kPowers{1, 10, 100, 1000};
    const int places = reading.decimalPlaces;
    const int power = kPowers[static_cast<std::size_t>(places)];
    std::string text = std::to_string(reading.digits / power) + '.';
    std::string fraction = std::to_string(reading.digits % power);
    if (places > 0)
        text.append(static_cast<std::size_t>(places) - fraction.size(), '0').append(fraction);
    return text;
}

namespace {

// The tenths of a degree the temperature shows, in its unit.
int shownTenths(const Temperature& temperature)
{
    if (!temperature.fahrenheit)
        return temperature.tenthsCelsius;
    // F = C * 1.8 + 32 in hundredths of a degree is 18 * tenths + 3200; never
    // a tie at the rounding, since 18 * tenths is even.
    const int hundredths = 18 * temperature.tenthsCelsius + 3200;
    return (hundredths + 5) / 10;
}

}  // namespace

std::string temperatureText(const Temperature& temperature)
{
    return tenthsText(shownTenths(temperature));
}

double temperatureValue(const Temperature& temperature)
{
    return shownTenths(temperature) / 10.0;
}

std::string_view temperatureUnitText(const Temperature& temperature)
{
    return temperature.fahrenheit ? "(F)" : "(C)";
}

}  // namespace logfetch
