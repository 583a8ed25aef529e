#pragma once

#include <ctime>

namespace testing_support {

// Processor time this process has used so far, in seconds, for benchmarks
// that measure what waiting costs.
inline double processCpuSeconds()
{
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

}  // namespace testing_support
