#pragma once

#include <cstdio>
#include <string>

namespace testing_support {

// The K7RX's line for reading `index`, as the emulated instrument sends it, with readings
// that change from line to line.
inline std::string k7rxLine(int index)
{
    char line[96];
    std::snprintf(line, sizeof line, "%d %04d :: 12-08-2026 05:%02d:%02d = %d (RAW)  %d (C)\r\n", index % 10,
                  index % 10000, 10 + index / 60 % 50, index % 60, 40 + (index * 37) % 23 + index % 100,
                  21 + index % 3);
    return line;
}

}  // namespace testing_support
