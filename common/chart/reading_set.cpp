#include "common/chart/reading_set.h"

#include <algorithm>
#include <string>

namespace common {

namespace {

template <typename Series>
auto* findIn(Series& series, std::string_view name)
{
    const auto found = std::find_if(series.begin(), series.end(),
                                    [name](const ReadingSeries& s) { return s.name() == name; });
    return found == series.end() ? nullptr : &*found;
}

}  // namespace

ReadingSeries& ReadingSet::series(std::string_view name, ValueAxis axis)
{
    if (ReadingSeries* found = find(name))
        return *found;
    return series_.emplace_back(std::string(name), axis);
}

ReadingSeries* ReadingSet::find(std::string_view name)
{
    return findIn(series_, name);
}

const ReadingSeries* ReadingSet::find(std::string_view name) const
{
    return findIn(series_, name);
}

std::size_t ReadingSet::readingCount() const
{
    std::size_t count = 0;
    for (const ReadingSeries& s : series_)
        count += s.size();
    return count;
}

std::optional<std::pair<double, double>> ReadingSet::timeSpan() const
{
    std::optional<std::pair<double, double>> span;
    for (const ReadingSeries& s : series_) {
        if (s.empty())
            continue;
        if (!span)
            span.emplace(s.earliest(), s.latest());
        span->first = std::min(span->first, s.earliest());
        span->second = std::max(span->second, s.latest());
    }
    return span;
}

}  // namespace common
