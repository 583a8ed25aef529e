#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace logfetch {

// Converts each .BIN path in turn, writing the reports beside it. Each
// outcome's message goes on its own line: completions to out, everything else
// to err. Returns 0 only when every file converted, 2 (converting none) when two files
// would write the same reports.
int runConvertCommand(const std::vector<std::string>& binPaths, std::ostream& out, std::ostream& err);

}  // namespace logfetch
