#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "common/chart/reading_set.h"

namespace tabwright {

// What keeps `path` from taking a chart (not .png or .svg, a folder, a folder that takes no
// new files); nothing when it can.
std::optional<std::string> chartPathProblem(const std::string& path);

// Draws `readings` into the chart file `path` and says "Saved: PATH" on `out`, or why it
// could not on `err`; the exit status (0 or 1). Needs a QApplication.
int saveChart(const common::ReadingSet& readings, const std::string& title, const std::string& path,
              std::ostream& out, std::ostream& err);

}  // namespace tabwright
