#pragma once

#include <string_view>

#include "tabwright/capture/incoming_text.h"

namespace tabwright {

// The two lamps: the serial port's and the spreadsheet application's.
enum class Lamp { ComPort, Excel };

// Yellow while opening or paused, green when open, red when opening or writing failed,
// Background (the colour of the lamp's container) after Stop.
enum class LampColour { Yellow, Green, Red, Background };

enum class RunButton { Start, Stop, Pause, Resume, ComPorts };

// What a capture run shows. Each call is shown (repainted) at once, since the run may
// keep the user-interface thread busy right afterwards.
class RunView : public StatusLine {
public:
    virtual void showLamp(Lamp lamp, LampColour colour) = 0;
    virtual void showStatus(std::string_view text) = 0;
    virtual void enableButton(RunButton button, bool enabled) = 0;
    // Pause and Resume share one place: this one goes in front of the other.
    virtual void bringToFront(RunButton button) = 0;
    // Puts the window back in front of the spreadsheet application that Start opened.
    virtual void bringWindowToFront() = 0;
};

// The reading tick's timer (100 ms).
class RunTimer {
public:
    virtual ~RunTimer() = default;
    virtual void setTimerEnabled(bool enabled) = 0;
    // The next tick as soon as pending events have run, not after a full interval: the
    // tick left lines waiting. Later enables use the interval again.
    virtual void rearmAtOnce() { setTimerEnabled(true); }
};

}  // namespace tabwright
