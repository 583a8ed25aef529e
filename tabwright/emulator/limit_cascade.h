#pragma once

#include <cstdint>

#include "tabwright/emulator/instrument_model.h"
#include "tabwright/emulator/limit_draw.h"

namespace tabwright {

// The three bars of one limit group, in the numbering the focus value uses.
enum class LimitBar : std::int16_t { Master = 1, Minimum = 2, Maximum = 3 };

// One group of the emulator panel's limit bars (measurement or temperature): a
// master, a minimum and a maximum bar (0 .. 100) and the "Maintain Min/Max
// Window" box. Each move of a bar updates the others as the panel does and
// passes every new minimum and maximum to the instrument model. The bar that
// last had the focus decides how far a move reaches:
// - master: minimum and maximum both take the master's value, and the box is
//   unchecked (a fixed reading);
// - minimum: with the box checked the maximum follows at the kept distance
//   (stopping at 100); unchecked it is pushed up when the minimum passes it;
// - maximum: the same downwards (stopping at 0).
// A bar moved by another bar's move changes nothing further, so one move
// ends after one hop. The window only shows the state after each call.
class LimitCascade {
public:
    static constexpr int kLowest = 0;
    static constexpr int kHighest = 100;

    // Limits go to the model's measurement or temperature setters.
    LimitCascade(InstrumentModel& model, Reading reading);

    // A bar of the group received the input focus.
    void gotFocus(LimitBar bar) { focus_ = bar; }
    // A bar was moved to `value` (values outside 0 .. 100 are taken as the
    // nearest end).
    void masterMoved(int value);
    void minimumMoved(int value);
    void maximumMoved(int value);
    // The box was clicked: the kept distance is measured now.
    void maintainWindowClicked(bool checked);

    int master() const { return master_; }
    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    bool maintainWindow() const { return maintainWindow_; }
    // The master bar can be moved only while the box is unchecked.
    bool masterEnabled() const { return !maintainWindow_; }
    LimitBar focus() const { return focus_; }
    // Maximum minus minimum when the box was last clicked.
    int window() const { return window_; }

private:
    void takeMinimum(int value);
    void takeMaximum(int value);

    InstrumentModel& model_;
    Reading reading_;
    LimitBar focus_ = LimitBar::Master;
    int master_ = kLowest;
    int minimum_ = kLowest;
    int maximum_ = kLowest;
    bool maintainWindow_ = false;
    int window_ = 0;
};

}  // namespace tabwright
