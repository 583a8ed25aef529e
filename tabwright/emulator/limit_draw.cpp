#include "tabwright/emulator/limit_draw.h"

#include <cmath>
#include <limits>
#include <string>

namespace tabwright {
namespace {

std::string spanMessage(Reading reading, std::int16_t minimum, std::int16_t maximum)
{
    const char* name = reading == Reading::Measurement ? "measurement" : "temperature";
    return std::string("The ") + name + " limits are too far apart to draw between (minimum " +
           std::to_string(minimum) + ", maximum " + std::to_string(maximum) + ").";
}

bool fits16Bits(int value)
{
    return value >= std::numeric_limits<std::int16_t>::min() &&
           value <= std::numeric_limits<std::int16_t>::max();
}

}  // namespace

LimitSpanError::LimitSpanError(Reading reading, std::int16_t minimum, std::int16_t maximum)
    : std::overflow_error(spanMessage(reading, minimum, maximum)),
      reading_(reading),
      minimum_(minimum),
      maximum_(maximum)
{
}

std::int16_t drawBetween(Reading reading, std::int16_t minimum, std::int16_t maximum, float r)
{
    const int difference = maximum - minimum;
    if (!fits16Bits(difference) || !fits16Bits(difference + 1))
        throw LimitSpanError(reading, minimum, maximum);
    const int span = difference + 1;
    // A single-precision sum would round a draw just below 1 up to the next
    // whole number (limits 10 and 10 would then give 11 now and then); in
    // double precision span * r + minimum is exact for every float r, so the
    // value never leaves the limits.
    const double value = std::floor(static_cast<double>(span) * r + minimum);
    return static_cast<std::int16_t>(value);
}

}  // namespace tabwright
