#pragma once

#include <cstdint>
#include <stdexcept>

namespace tabwright {

// The two readings an emulated instrument draws between limits.
enum class Reading { Measurement, Temperature };

// Limits too far apart to draw between: maximum - minimum + 1 does not fit in
// a 16-bit signed number. The user can be told which limits to change.
class LimitSpanError : public std::overflow_error {
public:
    LimitSpanError(Reading reading, std::int16_t minimum, std::int16_t maximum);

    Reading reading() const { return reading_; }
    std::int16_t minimum() const { return minimum_; }
    std::int16_t maximum() const { return maximum_; }

private:
    Reading reading_;
    std::int16_t minimum_;
    std::int16_t maximum_;
};

// The whole number floor(span * r + minimum), span = maximum - minimum + 1, for
// r from [0, 1): each of minimum .. maximum equally likely. Limits the wrong
// way round give maximum + 1 .. minimum instead (always the minimum when it is
// maximum + 1). Throws LimitSpanError when the span does not fit in 16 bits.
std::int16_t drawBetween(Reading reading, std::int16_t minimum, std::int16_t maximum, float r);

}  // namespace tabwright
