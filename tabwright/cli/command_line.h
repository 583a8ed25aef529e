#pragma once

namespace tabwright {

// Exit status of a command line that could not be understood.
inline constexpr int kUsageError = 2;

// The program run with arguments (--help, --version), once the application object
// exists. Returns the exit status.
int runCommandLine();

}  // namespace tabwright
