#pragma once

#include <string_view>

namespace tabwright {

// Cuts the first space-separated token off `line`, with the space after it. Runs of
// spaces count as one separator, and spaces before the first token and after the last
// are dropped (spaces only: a TAB is part of a token). False, with an empty token and
// an empty line, when nothing but spaces is left.
bool NextToken(std::string_view& line, std::string_view& token);

}  // namespace tabwright
