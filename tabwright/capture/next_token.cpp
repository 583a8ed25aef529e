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
    const std::size_t space = line.find(' ');
    token = line.substr(0, space);
    line.remove_prefix(space == std::string_view::npos ? line.size() : space + 1);
    return true;
}

}  // namespace tabwright
