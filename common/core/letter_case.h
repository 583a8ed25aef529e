#pragma once

#include <string>
#include <string_view>

namespace common {

// Letter case of single-byte text as file names are compared here: only the
// ASCII letters change.
std::string upperCase(std::string_view text);
std::string lowerCase(std::string_view text);
// Whether two texts are equal when ASCII letter case is ignored.
bool equalIgnoringCase(std::string_view a, std::string_view b);

}  // namespace common
