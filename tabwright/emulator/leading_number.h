#pragma once

#include <string_view>

namespace tabwright {

// The value of the number a text starts with, as typed into a number box.
// Spaces and tabs anywhere in the text are passed over. The number is an
// optional sign, digits with at most one decimal point, and an optional
// exponent ("E" or "e", an optional sign, digits); reading stops at the first
// character that cannot continue it ("12abc" is 12, "1.2.3" is 1.2, "1e" is 1).
// A text that starts with no number gives 0. A number too large for a double
// gives plus or minus infinity, one too small gives 0.
double leadingNumber(std::string_view text);

}  // namespace tabwright
