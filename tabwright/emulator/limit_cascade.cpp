#include "tabwright/emulator/limit_cascade.h"

#include <algorithm>

namespace tabwright {
namespace {

int onBar(int value)
{
    return std::clamp(value, LimitCascade::kLowest, LimitCascade::kHighest);
}

}  // namespace

LimitCascade::LimitCascade(InstrumentModel& model, Reading reading) : model_(model), reading_(reading) {}

void LimitCascade::masterMoved(int value)
{
    master_ = onBar(value);
    // The master's value goes to the minimum as if the minimum were moved while
    // the master has the focus, which also sets the maximum. This runs even when
    // the minimum already holds the value, so the maximum always follows.
    minimumMoved(master_);
    if (maintainWindow_)
        maintainWindowClicked(false);
}

void LimitCascade::minimumMoved(int value)
{
    takeMinimum(value);
    switch (focus_) {
    case LimitBar::Master:
        takeMaximum(minimum_);
        break;
    case LimitBar::Minimum:
        if (maintainWindow_)
            takeMaximum(minimum_ + window_);
        else if (minimum_ > maximum_)
            takeMaximum(minimum_);
        break;
    case LimitBar::Maximum:
        break;
    }
}

void LimitCascade::maximumMoved(int value)
{
    takeMaximum(value);
    if (focus_ != LimitBar::Maximum)
        return;
    if (maintainWindow_)
        takeMinimum(maximum_ - window_);
    else if (maximum_ < minimum_)
        takeMinimum(maximum_);
}

void LimitCascade::maintainWindowClicked(bool checked)
{
    maintainWindow_ = checked;
    window_ = maximum_ - minimum_;
}

// A bar's new value (the nearer end when it falls outside the bar) reaches the
// model; nothing else follows from it, which is what ends a cascade.
void LimitCascade::takeMinimum(int value)
{
    minimum_ = onBar(value);
    if (reading_ == Reading::Measurement)
        model_.setMinMeasurement(static_cast<std::int16_t>(minimum_));
    else
        model_.setMinTemperature(static_cast<std::int16_t>(minimum_));
}

void LimitCascade::takeMaximum(int value)
{
    maximum_ = onBar(value);
    if (reading_ == Reading::Measurement)
        model_.setMaxMeasurement(static_cast<std::int16_t>(maximum_));
    else
        model_.setMaxTemperature(static_cast<std::int16_t>(maximum_));
}

}  // namespace tabwright
