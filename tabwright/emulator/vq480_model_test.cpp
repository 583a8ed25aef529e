#include "tabwright/emulator/vq480_model.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace tabwright {
namespace {

// The outputs written one letter each: G a group of empty lines, R a reading
// line, - nothing.
std::string outputs(Vq480Model& model, std::size_t count)
{
    std::string letters;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string output = model.nextOutput();
        if (output == "\r\n\r\n\r\n")
            letters += 'G';
        else if (output == "9999\r\n")
            letters += 'R';
        else if (output.empty())
            letters += '-';
        else
            letters += '?';
    }
    return letters;
}

std::string readings(std::size_t count)
{
    return std::string(count, 'R');
}

struct SequenceCase {
    const char* name;
    std::function<void(Vq480Model&)> afterReset;
    std::string expected;
};

TEST(Vq480Model, GivesReadingLinesBetweenGroupsAtTheFrequency)
{
    const std::string sixteen = readings(16);
    const std::string five = readings(5);
    const SequenceCase cases[] = {
        {"after reset", [](Vq480Model&) {}, "G" + sixteen + "G" + sixteen + "G"},
        {"frequency 1", [](Vq480Model& m) { m.setEOLFrequency(1); }, "GRGRGR"},
        {"frequency 0", [](Vq480Model& m) { m.setEOLFrequency(0); }, "GGGG"},
        {"frequency -3", [](Vq480Model& m) { m.setEOLFrequency(-3); }, "GGGG"},
        {"lowered below the count",
         [](Vq480Model& m) {
             outputs(m, 11);  // a group and ten readings
             m.setEOLFrequency(5);
         },
         "G" + five + "G"},
        {"raised midway",
         [](Vq480Model& m) {
             outputs(m, 3);
             m.setEOLFrequency(20);
         },
         readings(18) + "G"},
        {"the other instrument's settings",
         [](Vq480Model& m) {
             m.setFourDigitIndex("42");
             m.setMinMeasurement(5);
             m.setMaxMeasurement(50);
             m.setMinTemperature(5);
             m.setMaxTemperature(50);
         },
         "G" + sixteen + "G"},
        {"reset again",
         [](Vq480Model& m) {
             m.setEOLFrequency(2);
             outputs(m, 2);
             m.turnOff();
             m.reset();
         },
         "G" + sixteen + "G"},
    };
    for (const SequenceCase& c : cases) {
        Vq480Model model;
        model.reset();
        c.afterReset(model);
        EXPECT_EQ(outputs(model, c.expected.size()), c.expected) << c.name;
    }
}

TEST(Vq480Model, SendsNothingWhileOffAndGoesOnWhereItWas)
{
    Vq480Model model;
    model.reset();
    EXPECT_EQ(outputs(model, 3), "GRR");
    model.turnOff();
    EXPECT_EQ(outputs(model, 3), "---");
    model.turnOn();
    EXPECT_EQ(outputs(model, 15), readings(14) + "G");
}

TEST(Vq480Model, HasNoIndex)
{
    Vq480Model model;
    model.reset();
    model.setFourDigitIndex("42");
    EXPECT_EQ(model.getFourDigitIndex(), "");
}

}  // namespace
}  // namespace tabwright
