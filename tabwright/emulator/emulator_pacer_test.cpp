#include "tabwright/emulator/emulator_pacer.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "tabwright/testing/manual_steady_clock.h"

namespace tabwright {
namespace {

using namespace std::chrono_literals;

// Numbers its outputs "1", "2", ...; throws while told to.
class CountingModel : public InstrumentModel {
public:
    void reset() override {}
    void setFourDigitIndex(std::string_view) override {}
    std::string getFourDigitIndex() const override { return {}; }
    std::string nextOutput() override
    {
        if (failing)
            throw std::invalid_argument("limits out of range");
        return std::to_string(++made);
    }
    void setMinMeasurement(std::int16_t) override {}
    void setMaxMeasurement(std::int16_t) override {}
    void setMinTemperature(std::int16_t) override {}
    void setMaxTemperature(std::int16_t) override {}

    int made = 0;
    bool failing = false;
};

struct PacerFixture : testing::Test {
    testing_support::ManualSteadyClock clock;
    std::vector<std::string> said;
    EmulatorPacer pacer{clock, [this](std::string output) { said.push_back(std::move(output)); }};
    CountingModel model;
};

struct PaceCase {
    const char* name;
    std::vector<std::chrono::milliseconds> ticksAt;  // since start, each followed by a tick
    std::vector<std::string> said;
};

class PaceCases : public PacerFixture, public testing::WithParamInterface<PaceCase> {};

TEST_P(PaceCases, SaysOneOutputPerIntervalPassedWhateverTheTicks)
{
    pacer.start();
    std::chrono::milliseconds now{0};
    for (const auto at : GetParam().ticksAt) {
        clock.advance(at - now);
        now = at;
        pacer.tick(&model);
    }
    EXPECT_EQ(said, GetParam().said);
}

INSTANTIATE_TEST_SUITE_P(
    EmulatorPacer, PaceCases,
    testing::Values(PaceCase{"NothingBeforeTheFirstInterval", {0ms, 249ms}, {}},
                    PaceCase{"OnTime", {250ms, 500ms, 750ms, 1000ms}, {"1", "2", "3", "4"}},
                    // A timer firing early or twice says nothing twice.
                    PaceCase{"EarlyAndDoubleTicks", {240ms, 260ms, 260ms, 490ms, 510ms}, {"1", "2"}},
                    // A thread busy for a second makes up the four outputs at once.
                    PaceCase{"ALateTickCatchesUp", {250ms, 1300ms}, {"1", "2", "3", "4", "5"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PacerFixture, ReturnsTheLastOutputSaidForTheWindowToShow)
{
    pacer.start();
    clock.advance(750ms);
    EXPECT_EQ(pacer.tick(&model), "3");
    EXPECT_EQ(pacer.tick(&model), std::nullopt);
}

TEST_F(PacerFixture, AMachineNotEmulatedPassesItsOutputsUnsaid)
{
    pacer.start();
    clock.advance(1000ms);
    EXPECT_EQ(pacer.tick(nullptr), std::nullopt);
    clock.advance(250ms);
    pacer.tick(&model);
    EXPECT_EQ(said, std::vector<std::string>{"1"});  // not five: the unsaid ones are not made up
}

TEST_F(PacerFixture, AFailingModelPassesTheDueOutputsAndTheErrorGoesOn)
{
    pacer.start();
    clock.advance(500ms);
    model.failing = true;
    EXPECT_THROW(pacer.tick(&model), std::invalid_argument);
    model.failing = false;
    clock.advance(250ms);
    pacer.tick(&model);
    EXPECT_EQ(said, std::vector<std::string>{"1"});
}

TEST_F(PacerFixture, StartCountsAfresh)
{
    pacer.start();
    clock.advance(500ms);
    pacer.tick(&model);
    clock.advance(10s);
    pacer.start();
    clock.advance(250ms);
    pacer.tick(&model);
    EXPECT_EQ(said, (std::vector<std::string>{"1", "2", "3"}));
}

}  // namespace
}  // namespace tabwright
