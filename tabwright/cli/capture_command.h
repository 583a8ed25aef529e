#pragma once

#include <ostream>

#include "tabwright/cli/capture_options.h"

namespace tabwright {

// One unattended capture run, as Start, the reading tick and Stop do in the
// window: the text from a COM port or an emulated instrument, until the
// seconds are up, Ctrl-C or SIGTERM comes, or the port goes away; then the
// end-of-run macro, the workbook saved as the output, and the spreadsheet
// application quit. Progress (the status line's texts) goes to `err`, the
// summary to `out`. Returns 0 only when the workbook was saved and the asked macro
// ran, kSavedWithoutMacro when it was saved but that macro did not run, else 1.
// Needs the application object and its event loop.
int runCaptureCommand(const CaptureOptions& options, std::ostream& out, std::ostream& err);

}  // namespace tabwright
