#include "tabwright/emulator/emulated_instruments.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

namespace tabwright {
namespace {

// The measurement and temperature of one K7RX line; fails the test when the
// line is not one.
std::pair<int, int> readingsOf(const std::string& line)
{
    static const std::regex kLine(
        R"(0 \d{4} :: \d\d-\d\d-\d{4} \d\d:\d\d:\d\d = (-?\d+) \(RAW\)  (-?\d+) \(C\)\r\n)");
    std::smatch match;
    if (!std::regex_match(line, match, kLine)) {
        ADD_FAILURE() << "not a K7RX line: " << line;
        return {};
    }
    return {std::stoi(match[1]), std::stoi(match[2])};
}

TEST(EmulatedInstruments, StartReset)
{
    EmulatedInstruments instruments;
    EXPECT_EQ(readingsOf(instruments.k7rx.nextOutput()), std::make_pair(0, 0));
    EXPECT_EQ(instruments.k7rx.getFourDigitIndex(), "0000");
    EXPECT_EQ(instruments.vq480.nextOutput(), "\r\n\r\n\r\n");
}

TEST(EmulatedInstruments, DrawsAreFreshAndBelowOne)
{
    ClockSeededRandom random;
    std::set<float> seen;
    for (int i = 0; i < 10000; ++i) {
        const float draw = random.nextUniform();
        ASSERT_TRUE(draw >= 0.0f && draw < 1.0f) << draw;
        seen.insert(draw);
    }
    EXPECT_GT(seen.size(), 9900u);
}

TEST(EmulatedInstruments, TheReadingsCoverTheirLimitsAndNothingElse)
{
    // Limits the wrong way round reach the minimum only with a draw of exactly
    // 0, so that one may be missing.
    const struct {
        std::int16_t minimum;
        std::int16_t maximum;
        int lowest;
        int highestSeen;
        int highestAllowed;
    } cases[] = {{10, 10, 10, 10, 10}, {0, 100, 0, 100, 100}, {60, 40, 41, 59, 60}};
    EmulatedInstruments instruments;
    for (const auto& c : cases) {
        instruments.k7rx.setMinMeasurement(c.minimum);
        instruments.k7rx.setMaxMeasurement(c.maximum);
        instruments.k7rx.setMinTemperature(c.minimum);
        instruments.k7rx.setMaxTemperature(c.maximum);
        std::set<int> measurements;
        std::set<int> temperatures;
        for (int i = 0; i < 4000; ++i) {
            const auto [measurement, temperature] = readingsOf(instruments.k7rx.nextOutput());
            measurements.insert(measurement);
            temperatures.insert(temperature);
        }
        for (const std::set<int>* values : {&measurements, &temperatures}) {
            const auto limits = std::to_string(c.minimum) + " .. " + std::to_string(c.maximum);
            EXPECT_EQ(*values->begin(), c.lowest) << limits;
            EXPECT_GE(*values->rbegin(), c.highestSeen) << limits;
            EXPECT_LE(*values->rbegin(), c.highestAllowed) << limits;
            // Every value between them too.
            EXPECT_GE(static_cast<int>(values->size()), c.highestSeen - c.lowest + 1) << limits;
        }
    }
}

}  // namespace
}  // namespace tabwright
