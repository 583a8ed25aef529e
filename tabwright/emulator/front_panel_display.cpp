#include "tabwright/emulator/front_panel_display.h"

#include <limits>

namespace tabwright {

DisplayLines FrontPanelDisplay::RefreshDisplay()
{
    switch (screenState_) {
    case ScreenState::PowerUp: {
        DisplayLines lines{"VELDAN QORIVEX", std::to_string(powerUpCount_)};
        --powerUpCount_;
        if (powerUpCount_ == 0)
            screenState_ = ScreenState::Home;
        return lines;
    }
    case ScreenState::Home:
        return {"0.000", "Rdy"};
    case ScreenState::Go: {
        DisplayLines lines{"Int: " + std::to_string(intervalCount_), "<ESC>- Abort"};
        if (intervalCount_ > std::numeric_limits<std::int16_t>::min())
            --intervalCount_;
        return lines;
    }
    }
    return {};
}

void FrontPanelDisplay::pressGo()
{
    screenState_ = ScreenState::Go;
    intervalCount_ = kIntervalStart;
}

void FrontPanelDisplay::pressEsc()
{
    screenState_ = ScreenState::Home;
}

}  // namespace tabwright
