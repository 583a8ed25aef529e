#pragma once

#include <QStringList>

#include <string_view>

namespace common {

// Turns a "description|patterns|..." filter into Qt's name filters, one per
// description. Names on Linux are case-sensitive while the patterns were made
// for a system that is not, so each pattern is offered in upper and lower
// case ("*.BIN" gives "*.BIN *.bin"), and "*.*" (every file there) becomes "*".
QStringList qtNameFilters(std::string_view filter);

}  // namespace common
