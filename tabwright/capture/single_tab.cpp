#include "tabwright/capture/single_tab.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace tabwright {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::size_t skipDigits(std::string_view text, std::size_t at)
{
    while (at < text.size() && isDigit(text[at]))
        ++at;
    return at;
}

}  // namespace

double leadingOutputNumber(std::string_view text)
{
    std::size_t at = text.find_first_not_of(" \t");
    if (at == std::string_view::npos)
        return 0;
    const std::size_t start = at;
    if (text[at] == '+' || text[at] == '-')
        ++at;
    const std::size_t digits = at;
    at = skipDigits(text, at);
    std::size_t mantissaDigits = at - digits;
    if (at < text.size() && text[at] == '.') {
        const std::size_t fraction = at + 1;
        at = skipDigits(text, fraction);
        mantissaDigits += at - fraction;
    }
    if (mantissaDigits == 0)
        return 0;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        std::size_t exponent = at + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-'))
            ++exponent;
        if (skipDigits(text, exponent) > exponent)
            at = skipDigits(text, exponent);
    }
    // from_chars takes no leading '+'.
    std::size_t from = text[start] == '+' ? start + 1 : start;
    double value = 0;
    const auto result = std::from_chars(text.data() + from, text.data() + at, value);
    // A number too large for a double counts as no number.
    if (result.ec != std::errc() || !std::isfinite(value))
        return 0;
    return value;
}

std::string plainDecimal(double value)
{
    if (value == 0 || !std::isfinite(value))
        return "0";
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
    const double number = leadingOutputNumber(output);
    return plainDecimal(number) + '\t' + plainDecimal(number + 1) + "\r\n";
}

}  // namespace tabwright
