#include "tabwright/emulator/limit_cascade.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

namespace tabwright {
namespace {

// Keeps the limits it is given and counts the calls.
class LimitRecorder : public InstrumentModel {
public:
    void reset() override {}
    void setFourDigitIndex(std::string_view) override {}
    std::string getFourDigitIndex() const override { return {}; }
    std::string nextOutput() override { return {}; }
    void setMinMeasurement(std::int16_t value) override { take(minMeasurement, value); }
    void setMaxMeasurement(std::int16_t value) override { take(maxMeasurement, value); }
    void setMinTemperature(std::int16_t value) override { take(minTemperature, value); }
    void setMaxTemperature(std::int16_t value) override { take(maxTemperature, value); }

    int minMeasurement = -1;
    int maxMeasurement = -1;
    int minTemperature = -1;
    int maxTemperature = -1;
    int calls = 0;

private:
    void take(int& limit, std::int16_t value)
    {
        limit = value;
        ++calls;
    }
};

struct Focus {
    LimitBar bar;
};
struct Move {
    LimitBar bar;
    int value;
};
struct Click {
    bool checked;
};
using Step = std::variant<Focus, Move, Click>;

void run(LimitCascade& cascade, const Step& step)
{
    if (const auto* focus = std::get_if<Focus>(&step)) {
        cascade.gotFocus(focus->bar);
    } else if (const auto* move = std::get_if<Move>(&step)) {
        switch (move->bar) {
        case LimitBar::Master:
            cascade.masterMoved(move->value);
            break;
        case LimitBar::Minimum:
            cascade.minimumMoved(move->value);
            break;
        case LimitBar::Maximum:
            cascade.maximumMoved(move->value);
            break;
        }
    } else {
        cascade.maintainWindowClicked(std::get<Click>(step).checked);
    }
}

// The panel as it loads: the master focused and moved to 50.
const std::vector<Step> kLoaded{Focus{LimitBar::Master}, Move{LimitBar::Master, 50}};

std::vector<Step> afterLoading(std::vector<Step> steps)
{
    steps.insert(steps.begin(), kLoaded.begin(), kLoaded.end());
    return steps;
}

struct CascadeCase {
    const char* name;
    std::vector<Step> steps;
    int minimum;
    int maximum;
    bool checked;
};

const CascadeCase kCases[] = {
    {"loading sets every limit to 50", kLoaded, 50, 50, false},
    {"minimum pushed above the maximum pushes the maximum",
     afterLoading({Focus{LimitBar::Minimum}, Move{LimitBar::Minimum, 70}}), 70, 70, false},
    {"minimum moved below the maximum leaves it",
     afterLoading({Focus{LimitBar::Minimum}, Move{LimitBar::Minimum, 20}}), 20, 50, false},
    {"maximum pushed below the minimum pushes the minimum",
     afterLoading({Focus{LimitBar::Maximum}, Move{LimitBar::Maximum, 10}}), 10, 10, false},
    {"maximum moved above the minimum leaves it",
     afterLoading({Focus{LimitBar::Maximum}, Move{LimitBar::Maximum, 90}}), 50, 90, false},
    {"kept distance 30: minimum to 80 stops the maximum at 100",
     afterLoading(
         {Focus{LimitBar::Minimum}, Move{LimitBar::Minimum, 20}, Click{true}, Move{LimitBar::Minimum, 80}}),
     80, 100, true},
    {"kept distance 30: minimum back to 30 puts the maximum at 60",
     afterLoading({Focus{LimitBar::Minimum}, Move{LimitBar::Minimum, 20}, Click{true},
                   Move{LimitBar::Minimum, 80}, Move{LimitBar::Minimum, 30}}),
     30, 60, true},
    {"kept distance 30: maximum to 10 stops the minimum at 0, to 90 puts it at 60",
     afterLoading({Focus{LimitBar::Minimum}, Move{LimitBar::Minimum, 20}, Click{true},
                   Focus{LimitBar::Maximum}, Move{LimitBar::Maximum, 10}, Move{LimitBar::Maximum, 90}}),
     60, 90, true},
    {"master moves both and unchecks the box",
     afterLoading({Focus{LimitBar::Minimum}, Move{LimitBar::Minimum, 20}, Focus{LimitBar::Maximum},
                   Move{LimitBar::Maximum, 90}, Click{true}, Click{false}, Focus{LimitBar::Master},
                   Move{LimitBar::Master, 64}}),
     64, 64, false},
    {"master to the minimum's own value still sets the maximum",
     afterLoading({Focus{LimitBar::Maximum}, Move{LimitBar::Maximum, 80}, Focus{LimitBar::Minimum},
                   Move{LimitBar::Minimum, 40}, Focus{LimitBar::Master}, Move{LimitBar::Master, 40}}),
     40, 40, false},
    {"a distance measured the wrong way round keeps both on the bars",
     afterLoading({Focus{LimitBar::Maximum}, Move{LimitBar::Minimum, 90}, Click{true},
                   Focus{LimitBar::Minimum}, Move{LimitBar::Minimum, 10}, Focus{LimitBar::Maximum},
                   Move{LimitBar::Maximum, 70}}),
     100, 70, true},
};

TEST(LimitCascadeTest, BarsFollowTheFocusedBar)
{
    for (const CascadeCase& c : kCases) {
        SCOPED_TRACE(c.name);
        LimitRecorder model;
        LimitCascade cascade(model, Reading::Measurement);
        for (const Step& step : c.steps)
            run(cascade, step);
        EXPECT_EQ(cascade.minimum(), c.minimum);
        EXPECT_EQ(cascade.maximum(), c.maximum);
        EXPECT_EQ(cascade.maintainWindow(), c.checked);
        EXPECT_EQ(cascade.masterEnabled(), !c.checked);
        // Every limit shown reaches the model.
        EXPECT_EQ(model.minMeasurement, c.minimum);
        EXPECT_EQ(model.maxMeasurement, c.maximum);
        EXPECT_EQ(model.minTemperature, -1);
    }
}

TEST(LimitCascadeTest, MasterUnchecksTheBoxAndMeasuresTheDistanceAnew)
{
    LimitRecorder model;
    LimitCascade cascade(model, Reading::Temperature);
    for (const Step& step :
         afterLoading({Focus{LimitBar::Maximum}, Move{LimitBar::Maximum, 80}, Click{true}}))
        run(cascade, step);
    EXPECT_EQ(cascade.window(), 30);
    EXPECT_FALSE(cascade.masterEnabled());

    cascade.gotFocus(LimitBar::Master);
    cascade.masterMoved(40);
    EXPECT_EQ(cascade.master(), 40);
    EXPECT_FALSE(cascade.maintainWindow());
    EXPECT_EQ(cascade.window(), 0);
    EXPECT_EQ(model.minTemperature, 40);
    EXPECT_EQ(model.maxTemperature, 40);
    EXPECT_EQ(model.minMeasurement, -1);
}

// One move of a bar sets at most the two limits once each: the bar moved and
// the one it carries along, never a chain back.
TEST(LimitCascadeTest, OneMoveEndsAfterOneHop)
{
    for (const LimitBar focus : {LimitBar::Master, LimitBar::Minimum, LimitBar::Maximum}) {
        for (const bool checked : {false, true}) {
            LimitRecorder model;
            LimitCascade cascade(model, Reading::Measurement);
            for (const Step& step : kLoaded)
                run(cascade, step);
            cascade.maintainWindowClicked(checked);
            cascade.gotFocus(focus);
            for (const Step& move : {Step{Move{LimitBar::Minimum, 90}}, Step{Move{LimitBar::Maximum, 5}}}) {
                model.calls = 0;
                run(cascade, move);
                EXPECT_LE(model.calls, 2) << static_cast<int>(focus) << ' ' << checked;
            }
        }
    }
}

}  // namespace
}  // namespace tabwright
