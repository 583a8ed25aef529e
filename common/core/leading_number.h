#pragma once

#include <optional>
#include <string_view>

#include "common/core/whole_number.h"

namespace common {

// Where spaces and tabs may stand in a leading number.
enum class NumberBlanks {
    Before,    // before the number only: an instrument's output line
    Anywhere,  // anywhere, passed over: a number box the user types into ("1 2" is 12)
};

// What a number too large for a double becomes.
enum class TooLarge {
    Infinity,  // plus or minus infinity, for the caller to refuse
    Zero,      // 0, as a text that starts with no number
};

struct LeadingNumberRule {
    NumberBlanks blanks;
    TooLarge tooLarge;
};

// The value of the decimal number a text starts with. The number is an optional sign,
// digits with at most one decimal point, and an optional exponent ("E" or "e", an optional
// sign, digits); reading stops at the first character that cannot continue it ("12abc" is
// 12, "1.2.3" is 1.2, "1e" is 1). A text that starts with no number gives 0, as does a
// number too small for a double; one too large gives what `rule` says.
double leadingNumber(std::string_view text, LeadingNumberRule rule);

// The whole text (blanks around it as `blanks` lets stand) read as one finite decimal
// number: a sign as `sign` lets stand ("-" by default, "+" too with PlusOrMinus: a reading
// in an instrument's line), digits, an optional fraction and exponent. Nothing for any other
// text, an empty one, "inf" and "nan" included.
std::optional<double> decimalNumber(std::string_view text, Blanks blanks, Sign sign = Sign::Minus);

}  // namespace common
