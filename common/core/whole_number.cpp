#include "common/core/whole_number.h"

#include <charconv>
#include <system_error>

namespace common {

namespace {

constexpr std::string_view kDigits = "0123456789";

std::string_view blanksOf(Blanks blanks)
{
    switch (blanks) {
    case Blanks::Spaces:
        return " ";
    case Blanks::SpacesAndTabs:
        return " \t";
    case Blanks::None:
        break;
    }
    return {};
}

// How many of the text's first characters are its sign under `sign`.
std::size_t signLength(std::string_view text, Sign sign)
{
    switch (sign) {
    case Sign::None:
        return 0;
    case Sign::Minus:
        return text.starts_with('-') ? 1 : 0;
    case Sign::PlusOrMinus:
        return text.starts_with('-') || text.starts_with('+') ? 1 : 0;
    case Sign::PlusBeforeSigned: {
        const std::size_t plus = text.starts_with('+') ? 1 : 0;
        return plus + (text.substr(plus).starts_with('-') ? 1 : 0);
    }
    }
    return 0;
}

std::optional<long long> within(long long number, long long low, long long high)
{
    if (number < low || number > high)
        return std::nullopt;
    return number;
}

}  // namespace

std::string_view withoutBlanks(std::string_view text, Blanks blanks)
{
    const std::string_view blank = blanksOf(blanks);
    const std::size_t first = text.find_first_not_of(blank);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blank) - first + 1);
}

std::optional<long long> wholeNumber(std::string_view text, WholeNumberRule rule, long long low,
                                     long long high)
{
    text = withoutBlanks(text, rule.blanks);
    const std::size_t sign = signLength(text, rule.sign);
    const std::string_view digits = text.substr(sign);
    if (digits.empty() || digits.find_first_not_of(kDigits) != std::string_view::npos)
        return std::nullopt;
    // from_chars reads a "-" but no "+": a minus sign, if any, is the last of the sign.
    const bool negative = sign > 0 && text[sign - 1] == '-';
    const char* first = negative ? digits.data() - 1 : digits.data();
    long long number = 0;
    const auto [end, error] = std::from_chars(first, digits.data() + digits.size(), number);
    if (error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return within(number, low, high);
}

std::optional<long long> takeLeadingWholeNumber(std::string_view& text, long long low, long long high)
{
    long long number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc())
        return std::nullopt;
    const std::optional<long long> taken = within(number, low, high);
    if (taken)
        text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    return taken;
}

}  // namespace common
