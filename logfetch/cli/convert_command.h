#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace logfetch {

// Converts each .BIN path in turn, writing the reports beside it. Each
// outcome's message goes on its own line: completions to out, everything else
// to err. Returns 0 only when every file converted, 2 (converting none) when two files
// would write the same reports.
//
// With `chartPath` (a .png or .svg name; one .BIN only) it also draws each data set's
// readings and temperatures into that file, numbered NAME-1, NAME-2... when the log holds
// several data sets, and names each chart on out. A chart that cannot be written makes the
// command fail. Drawing needs a QApplication.
int runConvertCommand(const std::vector<std::string>& binPaths, std::ostream& out, std::ostream& err,
                      const std::string& chartPath = {});

}  // namespace logfetch
