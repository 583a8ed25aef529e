#include "common/core/cfg_field.h"

namespace common {

namespace {

std::string_view withoutSurroundingSpaces(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::string firstField(std::string_view line)
{
    line = line.substr(0, line.find_first_of("\r\n"));
    const std::string_view start = withoutSurroundingSpaces(line);
    if (!start.empty() && start.front() == '"') {
        const std::string_view quoted = start.substr(1);
        return std::string(quoted.substr(0, quoted.find('"')));
    }
    return std::string(withoutSurroundingSpaces(line.substr(0, line.find(','))));
}

std::string fieldLine(std::string_view value)
{
    const bool needsQuotes = value.find(',') != std::string_view::npos ||
                             (!value.empty() && (value.front() == ' ' || value.back() == ' '));
    if (!needsQuotes)
        return std::string(value);
    std::string quoted;
    quoted.reserve(value.size() + 2);
    quoted.append(1, '"').append(value).append(1, '"');
    return quoted;
}

}  // namespace common
