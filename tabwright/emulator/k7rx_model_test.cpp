#include "tabwright/emulator/k7rx_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <string>

namespace tabwright {
namespace {

class FixedClock : public WallClock {
public:
    WallTime time{2026, 12, 7, 5, 10, 26};
    WallTime now() override { return time; }
};

// Hands out the draws it is given, in order.
class ScriptedRandom : public RandomSource {
public:
    std::deque<float> draws;
    float nextUniform() override
    {
        if (draws.empty()) {
            ADD_FAILURE() << "more draws than scripted";
            return 0;
        }
        const float draw = draws.front();
        draws.pop_front();
        return draw;
    }
};

class K7rxModelTest : public ::testing::Test {
protected:
    K7rxModelTest() { model.reset(); }

    FixedClock clock;
    ScriptedRandom random;
    K7rxModel model{clock, random};
};

TEST_F(K7rxModelTest, ANewModelSendsZerosUntilItsLimitsAreSet)
{
    random.draws = {0.7f, 0.3f};
    EXPECT_EQ(model.nextOutput(), "0 0000 :: 12-07-2026 05:10:26 = 0 (RAW)  0 (C)\r\n");
}

TEST_F(K7rxModelTest, DrawsTheMeasurementBeforeTheTemperature)
{
    model.setFourDigitIndex("12");
    model.setMinMeasurement(0);
    model.setMaxMeasurement(100);
    model.setMinTemperature(0);
    model.setMaxTemperature(100);
    random.draws = {0.57f, 0.43f};
    EXPECT_EQ(model.nextOutput(), "0 0012 :: 12-07-2026 05:10:26 = 57 (RAW)  43 (C)\r\n");
}

TEST_F(K7rxModelTest, StampsTheClocksDateAndTimeZeroPadded)
{
    const struct {
        WallTime time;
        const char* stamp;
    } cases[] = {
        {{2027, 1, 2, 0, 3, 9}, "01-02-2027 00:03:09"},
        {{2026, 12, 31, 23, 59, 59}, "12-31-2026 23:59:59"},
        {{987, 10, 10, 10, 10, 10}, "10-10-0987 10:10:10"},
    };
    for (const auto& c : cases) {
        clock.time = c.time;
        random.draws = {0, 0};
        EXPECT_EQ(model.nextOutput(), std::string("0 0000 :: ") + c.stamp + " = 0 (RAW)  0 (C)\r\n");
    }
}

TEST_F(K7rxModelTest, ResetLeavesTheLimitsAndClearsTheIndex)
{
    model.setFourDigitIndex("31");
    model.setMinMeasurement(-20);
    model.setMaxMeasurement(-20);
    model.setMinTemperature(60);
    model.setMaxTemperature(40);
    model.reset();
    random.draws = {0.5f, 0.5f};
    EXPECT_EQ(model.nextOutput(), "0 0000 :: 12-07-2026 05:10:26 = -20 (RAW)  50 (C)\r\n");
}

TEST_F(K7rxModelTest, TheIndexIsTheLeadingNumberOfTheText)
{
    const std::string tiny = "0." + std::string(500, '0') + "1e503";  // 100
    const std::string huge = "1" + std::string(400, '0');
    const struct {
        std::string text;
        const char* index;  // starting from 7
    } cases[] = {
        {"42", "0042"},    {"", "0000"},       {"2.5", "0002"},     {"3.5", "0004"},      {"-2.5", "00-2"},
        {"1.5", "0002"},   {"2.4999", "0002"}, {".5", "0000"},      {"99999", "0007"},    {" 1 2 ", "0012"},
        {"\t9", "0009"},   {"1e3", "1000"},    {"1 e 3", "1000"},   {"1.5E1", "0015"},    {"2e-1", "0000"},
        {"1e", "0001"},    {"1e+", "0001"},    {"12345", "2345"},   {"-5", "00-5"},       {"+8", "0008"},
        {"12abc", "0012"}, {"1.2.3", "0001"},  {"5-3", "0005"},     {"abc", "0000"},      {"--5", "0000"},
        {"0x10", "0000"},  {"32767", "2767"},  {"32767.5", "0007"}, {"-32768.5", "2768"}, {"-32769", "0007"},
        {"1e999", "0007"}, {"-1e999", "0007"}, {"1e-999", "0000"},  {tiny, "0100"},       {huge, "0007"},
    };
    for (const auto& c : cases) {
        model.setFourDigitIndex("7");
        model.setFourDigitIndex(c.text);
        EXPECT_EQ(model.getFourDigitIndex(), c.index) << '"' << c.text << '"';
    }
}

TEST_F(K7rxModelTest, LimitsTooFarApartAreReportedAndLeaveTheModelAsItWas)
{
    model.setFourDigitIndex("3");
    model.setMinMeasurement(0);
    model.setMaxMeasurement(32767);
    random.draws = {0.5f};
    EXPECT_THROW(model.nextOutput(), LimitSpanError);

    model.setMaxMeasurement(100);
    model.setMinTemperature(-32768);
    model.setMaxTemperature(32767);
    random.draws = {0.5f, 0.5f};
    try {
        model.nextOutput();
        ADD_FAILURE() << "no error";
    } catch (const LimitSpanError& error) {
        EXPECT_EQ(error.reading(), Reading::Temperature);
    }

    model.setMinTemperature(0);
    model.setMaxTemperature(0);
    random.draws = {0.5f, 0.5f};
    EXPECT_EQ(model.nextOutput(), "0 0003 :: 12-07-2026 05:10:26 = 50 (RAW)  0 (C)\r\n");
}

}  // namespace
}  // namespace tabwright
