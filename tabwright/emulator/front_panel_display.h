#pragma once

#include <cstdint>
#include <string>

namespace tabwright {

// What the two-line display of the front panel shows.
struct DisplayLines {
    std::string line1;
    std::string line2;

    bool operator==(const DisplayLines&) const = default;
};

// The screen state machine of the emulated front panel. A one-second timer
// calls RefreshDisplay; the GO and ESC keys change the screen, which the next
// refresh shows. No other key acts on it.
class FrontPanelDisplay {
public:
    // The screens "Power Up", "Home" and "Go".
    enum class ScreenState { PowerUp, Home, Go };

    static constexpr std::int16_t kPowerUpStart = 300;
    static constexpr std::int16_t kIntervalStart = 6000;

    // Starts at "Power Up" with the full power-up count, as every new panel does.
    FrontPanelDisplay() = default;

    // One step of the screen: the lines to show now, then the count of the
    // screen moves on. At "Power Up" the count falls to 0 and then the screen
    // is "Home". At "Go" the count falls without end; it stays at the lowest
    // value a 16-bit count holds (-32768) rather than wrap to a large count.
    DisplayLines RefreshDisplay();

    // GO: the screen is "Go" with the interval count started afresh.
    void pressGo();
    // ESC: the screen is "Home"; an unfinished power-up count is not resumed.
    void pressEsc();

    ScreenState screenState() const { return screenState_; }
    std::int16_t powerUpCount() const { return powerUpCount_; }
    std::int16_t intervalCount() const { return intervalCount_; }

private:
    ScreenState screenState_ = ScreenState::PowerUp;
    std::int16_t powerUpCount_ = kPowerUpStart;
    std::int16_t intervalCount_ = 0;
};

}  // namespace tabwright
