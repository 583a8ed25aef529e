#pragma once

#include <cstddef>

#include "logfetch/testing/bin_builder.h"

namespace testing_support {

// One long interval data set of 3-byte records with temperatures, of about
// the given size, whose end time is never reached: the file ends first.
Bytes largeIntervalLog(std::size_t bytes);

}  // namespace testing_support
