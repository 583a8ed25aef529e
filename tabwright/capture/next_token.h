#pragma once

#include <string_view>

namespace tabwright {

// Cuts the first space-separated token off `line`. Spaces around the line are
// dropped first (spaces only: a TAB is part of a token), so runs of spaces count
// as one separator. False, with an empty token, when nothing but spaces is left.
bool NextToken(std::string_view& line, std::string_view& token);

}  // namespace tabwright
