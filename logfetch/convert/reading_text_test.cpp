#include "logfetch/convert/reading_text.h"

#include <gtest/gtest.h>

namespace logfetch {
namespace {

std::string reading(int digits, int places)
{
    return readingText({false, places, digits});
}

TEST(ReadingText, IntegerPartPointAndExactlyTheDecimalPlaces)
{
    EXPECT_EQ(reading(0, 0), "0.");
    EXPECT_EQ(reading(1023, 0), "1023.");
    EXPECT_EQ(reading(5, 3), "0.005");
    EXPECT_EQ(reading(50, 2), "0.50");
    EXPECT_EQ(reading(1023, 1), "102.3");
    EXPECT_EQ(reading(512, 2), "5.12");
    EXPECT_EQ(reading(1023, 3), "1.023");
    EXPECT_EQ(reading(0, 2), "0.00");
}

TEST(ReadingText, SignIsKeptForNegativeZero)
{
    const Reading negativeZero{true, 2, 0};
    EXPECT_EQ(std::string(signText(negativeZero)) + readingText(negativeZero), "-0.00");
    EXPECT_EQ(signText(Reading{false, 0, 1}), " ");
}

TEST(TemperatureText, CelsiusAndFahrenheitWithOneDecimal)
{
    EXPECT_EQ(temperatureText({235, false}), "23.5");
    EXPECT_EQ(temperatureText({4, false}), "0.4");
    EXPECT_EQ(temperatureText({0, false}), "0.0");
    EXPECT_EQ(temperatureText({1023, false}), "102.3");
    EXPECT_EQ(temperatureText({920, true}), "197.6");
    EXPECT_EQ(temperatureText({236, true}), "74.5");
    EXPECT_EQ(temperatureText({1, true}), "32.2");
    EXPECT_EQ(temperatureText({0, true}), "32.0");
    EXPECT_EQ(temperatureUnitText({0, false}), "(C)");
    EXPECT_EQ(temperatureUnitText({0, true}), "(F)");
}

TEST(TemperatureValue, IsTheNumberItsTextShowsInEitherUnit)
{
    for (const bool fahrenheit : {false, true})
        for (int tenths = 0; tenths <= 1023; ++tenths) {
            const Temperature temperature{tenths, fahrenheit};
            const std::string text = temperatureText(temperature);
            EXPECT_EQ(temperatureValue(temperature), std::stod(text)) << text;
        }
}

TEST(RecordNumberText, FiveDigitsKeepingTheLastFive)
{
    EXPECT_EQ(recordNumberText(1), "00001");
    EXPECT_EQ(recordNumberText(99999), "99999");
    EXPECT_EQ(recordNumberText(100000), "00000");
    EXPECT_EQ(recordNumberText(123456), "23456");
}

}  // namespace
}  // namespace logfetch
