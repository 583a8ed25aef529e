#include "common/chart/chart_file_kind.h"

#include <algorithm>
#include <cctype>

namespace common {

namespace {

bool endsWithIgnoringCase(std::string_view text, std::string_view ending)
{
    return text.size() >= ending.size() &&
           std::equal(ending.begin(), ending.end(), text.end() - static_cast<std::ptrdiff_t>(ending.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

}  // namespace

std::optional<ChartFileKind> chartFileKind(std::string_view path)
{
    if (endsWithIgnoringCase(path, ".png"))
        return ChartFileKind::Png;
    if (endsWithIgnoringCase(path, ".svg"))
        return ChartFileKind::Svg;
    return std::nullopt;
}

std::string chartFileKindRefusal(std::string_view path)
{
    return "--chart must end in .png or .svg, not \"" + std::string(path) + "\"";
}

std::string numberedChartPath(const std::string& path, int number, int count)
{
    if (count <= 1)
        return path;
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    const std::size_t cut = hasExtension ? dot : path.size();
    return path.substr(0, cut) + "-" + std::to_string(number) + path.substr(cut);
}

}  // namespace common
