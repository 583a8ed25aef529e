#include "tabwright/capture/next_token.h"

namespace tabwright {

bool NextToken(std::string_view& line, std::string_view& token)
{
    const std::size_t first = line.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        line = {};
        token = {};
        return false;
    }
    line.remove_prefix(first);
    line.remove_suffix(line.size() - 1 - line.find_last_not_of(' '));
    const std::size_t space = line.find(' ');
    if (space == std::string_view::npos) {
        token = line;
        line = {};
    } else {
        token = line.substr(0, space);
        line.remove_prefix(space + 1);
    }
    return true;
}

}  // namespace tabwright
