#include "common/chart/clock_time.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace common {

namespace {

std::optional<int> twoDigits(std::string_view text)
{
    if (text.size() != 2 || text[0] < '0' || text[0] > '9' || text[1] < '0' || text[1] > '9')
        return std::nullopt;
    return (text[0] - '0') * 10 + (text[1] - '0');
}

}  // namespace

std::optional<double> parseClockTime(std::string_view text)
{
    if (text.size() < 8 || text[2] != ':' || text[5] != ':')
        return std::nullopt;
    const auto hours = twoDigits(text.substr(0, 2));
    const auto minutes = twoDigits(text.substr(3, 2));
    const auto seconds = twoDigits(text.substr(6, 2));
    if (!hours || !minutes || !seconds || *hours > 23 || *minutes > 59 || *seconds > 59)
        return std::nullopt;
    double fraction = 0;
    if (text.size() > 8) {
        const std::string_view rest = text.substr(8);
        if (rest.size() < 2 || rest[0] != '.')
            return std::nullopt;
        const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), fraction);
        if (error != std::errc() || end != rest.data() + rest.size())
            return std::nullopt;
    }
    return *hours * 3600.0 + *minutes * 60.0 + *seconds + fraction;
}

std::string clockTimeText(double seconds)
{
    const auto whole = static_cast<long long>(std::floor(seconds));
    const long long days = whole / 86400 - (whole < 0 && whole % 86400 != 0 ? 1 : 0);
    const long long ofDay = whole - days * 86400;
    char text[40];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", ofDay / 3600, ofDay / 60 % 60, ofDay % 60);
    std::string result = text;
    if (days != 0)
        result += " +" + std::to_string(days) + " d";
    return result;
}

double DayRollover::unroll(double secondsOfDay)
{
    if (previous_ && *previous_ - secondsOfDay > kSecondsPerDay / 2)
        dayStart_ += kSecondsPerDay;
    previous_ = secondsOfDay;
    return dayStart_ + secondsOfDay;
}

}  // namespace common
