#pragma once

#include <optional>
#include <string>

#include "tabwright/calc/running_processes.h"

namespace testing_support {

// The first running process with `text` among its arguments (an office's profile folder,
// a watchdog's leftovers), if any.
inline std::optional<tabwright::RunningProcess> processNaming(const std::string& text)
{
    for (tabwright::RunningProcess& process : tabwright::runningProcesses())
        if (process.commandLine.find(text) != std::string::npos)
            return std::move(process);
    return std::nullopt;
}

}  // namespace testing_support
