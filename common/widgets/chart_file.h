#pragma once

#include <QString>

#include "common/chart/reading_set.h"

namespace common {

// Draws `readings` (the whole time they cover) with `title` into a PNG or SVG file, as the
// name asks, at a size fit for a report. Needs a QApplication; returns false when the file
// cannot be written.
bool writeChartFile(const ReadingSet& readings, const QString& title, const QString& path);

}  // namespace common
