#pragma once

namespace tabwright {

// The program run with arguments ("capture", --help, --version), once the application object
// exists. Returns the exit status.
int runCommandLine();

}  // namespace tabwright
