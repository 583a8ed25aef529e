#include "tabwright/emulator/front_panel_display.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <variant>
#include <vector>

namespace tabwright {

void PrintTo(const DisplayLines& lines, std::ostream* out)
{
    *out << '"' << lines.line1 << "\" / \"" << lines.line2 << '"';
}

namespace {

using ScreenState = FrontPanelDisplay::ScreenState;

const DisplayLines kHome{"0.000", "Rdy"};

DisplayLines powerUp(int count)
{
    return {"VELDAN QORIVEX", std::to_string(count)};
}

DisplayLines interval(int count)
{
    return {"Int: " + std::to_string(count), "<ESC>- Abort"};
}

// Runs `count` refreshes and gives the lines of the last one.
DisplayLines refresh(FrontPanelDisplay& display, int count)
{
    DisplayLines lines;
    for (int i = 0; i < count; ++i)
        lines = display.RefreshDisplay();
    return lines;
}

TEST(FrontPanelDisplayTest, CountsThePowerUpDownToOneThenShowsHome)
{
    FrontPanelDisplay display;
    for (int count = 300; count >= 1; --count) {
        ASSERT_EQ(display.screenState(), ScreenState::PowerUp) << count;
        ASSERT_EQ(display.RefreshDisplay(), powerUp(count));
    }
    EXPECT_EQ(display.screenState(), ScreenState::Home);
    EXPECT_EQ(display.powerUpCount(), 0);
    EXPECT_EQ(display.RefreshDisplay(), kHome);
    EXPECT_EQ(refresh(display, 1000), kHome);
}

TEST(FrontPanelDisplayTest, GoCountsTheIntervalDownThroughZeroAndBelow)
{
    FrontPanelDisplay display;
    display.pressGo();
    for (int count = 6000; count >= -50; --count)
        ASSERT_EQ(display.RefreshDisplay(), interval(count));
    EXPECT_EQ(display.screenState(), ScreenState::Go);
}

TEST(FrontPanelDisplayTest, TheIntervalCountStopsAtTheLowest16BitValueAndTheKeysStillAct)
{
    FrontPanelDisplay display;
    display.pressGo();
    // 6000 down to -32768 is 38769 refreshes.
    EXPECT_EQ(refresh(display, 38768), interval(-32767));
    EXPECT_EQ(display.RefreshDisplay(), interval(-32768));
    EXPECT_EQ(display.RefreshDisplay(), interval(-32768));
    EXPECT_EQ(refresh(display, 100000), interval(-32768));

    display.pressGo();
    EXPECT_EQ(display.RefreshDisplay(), interval(6000));
    display.pressEsc();
    EXPECT_EQ(display.RefreshDisplay(), kHome);
}

// A key press, or a refresh and the lines it must show.
enum class Key { Go, Esc };
using Step = std::variant<Key, DisplayLines>;

struct KeyCase {
    const char* name;
    int refreshesBefore;  // at power-up, before the steps
    std::vector<Step> steps;
};

class FrontPanelKeyTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(FrontPanelKeyTest, ShowsEachScreenAtTheNextRefresh)
{
    FrontPanelDisplay display;
    refresh(display, GetParam().refreshesBefore);
    int refreshes = 0;
    for (const Step& step : GetParam().steps) {
        if (const Key* key = std::get_if<Key>(&step)) {
            if (*key == Key::Go)
                display.pressGo();
            else
                display.pressEsc();
        } else {
            ++refreshes;
            ASSERT_EQ(display.RefreshDisplay(), std::get<DisplayLines>(step)) << "refresh " << refreshes;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, FrontPanelKeyTest,
    ::testing::Values(
        KeyCase{"EscDuringPowerUpShowsHomeForGood", 2, {powerUp(298), Key::Esc, kHome, kHome, kHome}},
        KeyCase{"EscBeforeTheFirstRefresh", 0, {Key::Esc, kHome}},
        KeyCase{"GoDuringPowerUp", 5, {powerUp(295), Key::Go, interval(6000), interval(5999)}},
        KeyCase{"GoTwiceRestartsAt6000",
                300,
                {kHome, Key::Go, interval(6000), interval(5999), interval(5998), Key::Go, interval(6000),
                 interval(5999)}},
        KeyCase{"GoPressedTwiceBetweenRefreshes", 300, {Key::Go, Key::Go, interval(6000)}},
        KeyCase{"EscDuringGoThenGoAgain",
                300,
                {Key::Go, interval(6000), interval(5999), Key::Esc, kHome, kHome, Key::Go, interval(6000)}},
        KeyCase{"EscAtHomeStaysHome", 300, {kHome, Key::Esc, kHome}},
        KeyCase{"GoThenEscBeforeAnyRefresh", 10, {Key::Go, Key::Esc, kHome}}),
    [](const ::testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tabwright
