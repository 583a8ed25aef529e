#pragma once

#include <string>
#include <string_view>

namespace tabwright {

// `value` in plain decimal with at most 15 significant digits: no exponent, no
// thousands separators ("10000", "0.1", "-2.5").
std::string plainDecimal(double value);

// An emulator output turned into one line of two TAB-separated cells: its leading
// number, then that number plus 1 ("9999" CR LF gives "9999" TAB "10000" CR LF).
std::string injectSingleTab(std::string_view output);

}  // namespace tabwright
