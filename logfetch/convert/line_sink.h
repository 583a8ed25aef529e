#pragma once

#include <string_view>

namespace logfetch {

// Receives one report line at a time, without its line end. A write failure
// throws ConversionError.
class LineSink {
public:
    virtual ~LineSink() = default;
    virtual void writeLine(std::string_view line) = 0;
};

}  // namespace logfetch
