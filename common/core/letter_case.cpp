#include "common/core/letter_case.h"

#include <algorithm>

namespace common {

namespace {

template <char (*Change)(char)>
std::string changed(std::string_view text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), Change);
    return result;
}

char upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::string upperCase(std::string_view text)
{
    return changed<upper>(text);
}

std::string lowerCase(std::string_view text)
{
    return changed<lower>(text);
}

bool equalIgnoringCase(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace common
