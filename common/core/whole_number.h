#pragma once

#include <limits>
#include <optional>
#include <string_view>

namespace common {

// What may stand before and after a whole number's digits.
enum class Blanks {
    None,           // the text is the number and nothing else: command-line option values
    Spaces,         // spaces on either side: boxes the user types into, port numbers
    SpacesAndTabs,  // spaces and tabs on either side: values in a settings file edited by hand
};

// Which signs may stand before the digits.
enum class Sign {
    None,         // digits only: port numbers
    Minus,        // an optional "-": command-line option values
    PlusOrMinus,  // one optional "+" or "-": boxes the user types into
    // An optional "+" before an optionally negative number, so "+-5" is -5:
    // values in a settings file, read so since the file was first read.
    PlusBeforeSigned,
};

struct WholeNumberRule {
    Blanks blanks;
    Sign sign;
};

// The text without the blanks that `blanks` lets stand around a number.
std::string_view withoutBlanks(std::string_view text, Blanks blanks);

// The whole text read as one whole number under `rule`, when it lies within
// [low, high]; nothing for any other text, an empty one included.
std::optional<long long> wholeNumber(std::string_view text, WholeNumberRule rule,
                                     long long low = std::numeric_limits<long long>::min(),
                                     long long high = std::numeric_limits<long long>::max());

// The whole number (an optional "-" and digits) that `text` starts with, when
// it lies within [low, high]; it is dropped from `text`. Nothing, and `text`
// left as it is, when the text starts with no such number.
std::optional<long long> takeLeadingWholeNumber(std::string_view& text, long long low, long long high);

}  // namespace common
