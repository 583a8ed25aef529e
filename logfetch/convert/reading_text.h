#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "logfetch/convert/bin_format.h"

// The texts of one record's values as the reports print them.
namespace logfetch {

// Five digits with leading zeros; a number above 99999 keeps its last five.
std::string recordNumberText(std::uint32_t recordNumber);

// "-" for a negative reading, otherwise one space; a negative zero keeps it.
std::string_view signText(const Reading& reading);

// Integer part without leading zeros, ".", then exactly the decimal places:
// 512 with 2 places is "5.12", 1023 with none is "1023.".
std::string readingText(const Reading& reading);

// Degrees with one decimal place, converted when the Fahrenheit flag is set.
std::string temperatureText(const Temperature& temperature);
// The number temperatureText shows.
double temperatureValue(const Temperature& temperature);
std::string_view temperatureUnitText(const Temperature& temperature);

}  // namespace logfetch
