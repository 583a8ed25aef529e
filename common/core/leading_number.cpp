#include "common/core/leading_number.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <system_error>

namespace common {
namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Reads the text with the blanks `blanks` lets stand left out, one character at a time.
class Reader {
public:
    Reader(std::string_view text, NumberBlanks blanks)
    {
        if (blanks == NumberBlanks::Before) {
            while (!text.empty() && isBlank(text.front()))
                text.remove_prefix(1);
            kept_ = text;
            return;
        }
        for (const char c : text) {
            if (!isBlank(c))
                kept_ += c;
        }
    }

    bool takes(char c) { return at_ < kept_.size() && kept_[at_] == c ? (++at_, true) : false; }
    bool atDigit() const { return at_ < kept_.size() && isDigit(kept_[at_]); }
    bool atExponent() const
    {
        std::size_t at = at_;
        if (at >= kept_.size() || (kept_[at] != 'e' && kept_[at] != 'E'))
            return false;
        ++at;
        if (at < kept_.size() && (kept_[at] == '+' || kept_[at] == '-'))
            ++at;
        return at < kept_.size() && isDigit(kept_[at]);
    }
    std::string_view digits()
    {
        const std::size_t first = at_;
        while (atDigit())
            ++at_;
        return std::string_view(kept_).substr(first, at_ - first);
    }

private:
    std::string kept_;
    std::size_t at_ = 0;
};

// An exponent this large leaves any text that fits in memory far outside the
// range of a double; capping it keeps the sums below from overflowing.
constexpr std::int64_t kExponentCap = std::int64_t{1} << 50;

std::int64_t exponentOf(Reader& reader)
{
    if (!reader.takes('e'))
        reader.takes('E');
    const bool negative = reader.takes('-');
    if (!negative)
        reader.takes('+');
    std::int64_t exponent = 0;
    for (const char digit : reader.digits())
        exponent = std::min(exponent * 10 + (digit - '0'), kExponentCap);
    return negative ? -exponent : exponent;
}

}  // namespace

double leadingNumber(std::string_view text, LeadingNumberRule rule)
{
    Reader reader(text, rule.blanks);
    const bool negative = reader.takes('-');
    if (!negative)
        reader.takes('+');
    const std::string_view whole = reader.digits();
    const std::string_view fraction = reader.takes('.') ? reader.digits() : std::string_view();
    if (whole.empty() && fraction.empty())
        return 0;
    const std::int64_t exponent = reader.atExponent() ? exponentOf(reader) : 0;

    // Written as 0.DIGITS times ten to the power `order`, the digits starting
    // with the first that is not 0, so that the exponent stays small whatever
    // the number of digits typed.
    const std::string digits = std::string(whole) + std::string(fraction);
    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos)
        return 0;
    const std::int64_t order =
        static_cast<std::int64_t>(whole.size()) - static_cast<std::int64_t>(first) + exponent;
    const double tooLarge = rule.tooLarge == TooLarge::Zero ? 0.0 : std::numeric_limits<double>::infinity();
    constexpr std::int64_t kBeyondDoubles = 400;
    if (order > kBeyondDoubles)
        return negative ? -tooLarge : tooLarge;
    if (order < -kBeyondDoubles)
        return 0;
    const std::string scientific = "0." + digits.substr(first) + "e" + std::to_string(order);
    double value = 0;
    const std::from_chars_result read =
        std::from_chars(scientific.data(), scientific.data() + scientific.size(), value);
    if (read.ec == std::errc::result_out_of_range)
        value = order > 0 ? tooLarge : 0;
    return negative ? -value : value;
}

std::optional<double> decimalNumber(std::string_view text, Blanks blanks, Sign sign)
{
    text = withoutBlanks(text, blanks);
    if (text.starts_with('+') && (sign == Sign::PlusOrMinus || sign == Sign::PlusBeforeSigned)) {
        text.remove_prefix(1);
        if (sign == Sign::PlusOrMinus && text.starts_with('-'))
            return std::nullopt;
    }
    if (sign == Sign::None && text.starts_with('-'))
        return std::nullopt;
    double value = 0;
    const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || stop != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

}  // namespace common
