#pragma once

namespace logfetch {

// The program run with arguments: "convert", "download", --help or --version,
// once the application object exists. Returns the exit status.
int runCommandLine();

}  // namespace logfetch
