#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace common {

enum class ChartFileKind { Png, Svg };

// The picture format a chart file's name asks for (".png" or ".svg", in any letter case);
// empty for any other name.
std::optional<ChartFileKind> chartFileKind(std::string_view path);

// What to tell a user whose chart file name has neither ending.
std::string chartFileKindRefusal(std::string_view path);

// The name of chart `number` of `count` for `path`: `path` itself for a single chart,
// "NAME-1.svg", "NAME-2.svg"... when there are several.
std::string numberedChartPath(const std::string& path, int number, int count);

}  // namespace common
