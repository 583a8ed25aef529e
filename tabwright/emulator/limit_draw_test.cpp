#include "tabwright/emulator/limit_draw.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace tabwright {
namespace {

// The largest draw there is.
const float kBelowOne = std::nextafter(1.0f, 0.0f);

struct DrawCase {
    std::int16_t minimum;
    std::int16_t maximum;
    float r;
    std::int16_t value;
};

TEST(DrawBetween, SpreadsTheDrawOverTheLimits)
{
    const DrawCase cases[] = {
        {10, 10, 0.0f, 10},
        {10, 10, 0.5f, 10},
        {10, 10, kBelowOne, 10},  // single-precision arithmetic would give 11
        {0, 100, 0.0f, 0},
        {0, 100, 0.5f, 50},
        {0, 100, kBelowOne, 100},
        {-10, -5, 0.0f, -10},
        {-10, -5, kBelowOne, -5},
        {-16383, 16383, kBelowOne, 16383},
        {20000, 30000, kBelowOne, 30000},
        // The wrong way round: maximum + 1 .. minimum.
        {60, 40, 0.0f, 60},
        {60, 40, 0.5f, 50},
        {60, 40, kBelowOne, 41},
        {41, 40, 0.0f, 41},
        {41, 40, kBelowOne, 41},
    };
    for (const DrawCase& c : cases) {
        EXPECT_EQ(drawBetween(Reading::Measurement, c.minimum, c.maximum, c.r), c.value)
            << c.minimum << " .. " << c.maximum << " at " << c.r;
    }
}

struct SpanCase {
    std::int16_t minimum;
    std::int16_t maximum;
    bool fits;
};

TEST(DrawBetween, LimitsWhoseSpanLeaves16BitsAreAnError)
{
    const SpanCase cases[] = {
        {0, 32766, true},       {0, 32767, false},  // span 32768
        {-32768, -2, true},     {-32768, -1, false},
        {0, -32768, true},      {1, -32768, false},  // maximum - minimum -32769
        {-32768, 32767, false}, {32767, -32768, false},
    };
    for (const SpanCase& c : cases) {
        if (c.fits) {
            EXPECT_NO_THROW(drawBetween(Reading::Temperature, c.minimum, c.maximum, kBelowOne))
                << c.minimum << " .. " << c.maximum;
            continue;
        }
        try {
            drawBetween(Reading::Temperature, c.minimum, c.maximum, 0.5f);
            ADD_FAILURE() << c.minimum << " .. " << c.maximum << " drew a value";
        } catch (const LimitSpanError& error) {
            EXPECT_EQ(error.reading(), Reading::Temperature);
            EXPECT_EQ(error.minimum(), c.minimum);
            EXPECT_EQ(error.maximum(), c.maximum);
        }
    }
}

TEST(DrawBetween, TheErrorNamesTheReadingAndItsLimits)
{
    const LimitSpanError error(Reading::Measurement, 0, 32767);
    EXPECT_EQ(std::string(error.what()),
              "The measurement limits are too far apart to draw between (minimum 0, maximum "
              "32767).");
}

}  // namespace
}  // namespace tabwright
