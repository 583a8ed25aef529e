#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace tabwright {

// A running process and its command line, arguments joined by NULs.
struct RunningProcess {
    pid_t id = 0;
    std::string commandLine;
};

// The processes running now whose command line can be read. A process that ends while
// the list is made is left out; making the list never throws.
std::vector<RunningProcess> runningProcesses();

}  // namespace tabwright
