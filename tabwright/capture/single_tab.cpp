#include "tabwright/capture/single_tab.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "common/core/leading_number.h"

namespace tabwright {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// An output's number: blanks may stand before it; one too large for a double counts as no
// number.
constexpr common::LeadingNumberRule kOutputNumber{common::NumberBlanks::Before, common::TooLarge::Zero};

}  // namespace

std::string plainDecimal(double value)
{
    if (value == 0 || !std::isfinite(value))
        return "0";
    // A whole number of at most fifteen digits is its own plain decimal: the common case
    // of a reading, written without the general layout below.
    if (std::abs(value) < 1e15 && value == std::trunc(value)) {
        std::array<char, 24> whole{};
        const auto end =
            std::to_chars(whole.data(), whole.data() + whole.size(), static_cast<std::int64_t>(value)).ptr;
        return {whole.data(), end};
    }
    // Fifteen significant digits as d.ddddddddddddddde±x, then laid out in plain decimal.
    std::array<char, 32> buffer{};
    const auto end =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::scientific, 14)
            .ptr;
    const std::string_view scientific(buffer.data(), end - buffer.data());
    const std::size_t e = scientific.find('e');
    const bool negative = scientific.front() == '-';
    std::string digits;
    for (char c : scientific.substr(0, e))
        if (isDigit(c))
            digits += c;
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    const int exponent = std::atoi(std::string(scientific.substr(e + 1)).c_str());
    const int integerDigits = exponent + 1;

    std::string text = negative ? "-" : "";
    if (integerDigits <= 0) {
        text += "0.";
        text.append(static_cast<std::size_t>(-integerDigits), '0');
        text += digits;
    } else if (static_cast<std::size_t>(integerDigits) >= digits.size()) {
        text += digits;
        text.append(integerDigits - digits.size(), '0');
    } else {
        text += digits.substr(0, integerDigits);
        text += '.';
        text += digits.substr(integerDigits);
    }
    return text;
}

std::string injectSingleTab(std::string_view output)
{
    const double number = common::leadingNumber(output, kOutputNumber);
    return plainDecimal(number) + '\t' + plainDecimal(number + 1) + "\r\n";
}

}  // namespace tabwright
