#pragma once

#include <string>
#include <string_view>

namespace logfetch {

// Letter case of single-byte text as file names are compared here: only the
// ASCII letters change.
std::string upperCase(std::string_view text);
std::string lowerCase(std::string_view text);

}  // namespace logfetch
