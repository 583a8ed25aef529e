#pragma once

#include "tabwright/emulator/clock_seeded_random.h"
#include "tabwright/emulator/k7rx_model.h"
#include "tabwright/emulator/system_wall_clock.h"
#include "tabwright/emulator/vq480_model.h"

namespace tabwright {

// The two emulated instruments the program keeps from start to end, reset when
// made, reading the system clock and a clock-seeded generator.
struct EmulatedInstruments {
    EmulatedInstruments();
    EmulatedInstruments(const EmulatedInstruments&) = delete;
    EmulatedInstruments& operator=(const EmulatedInstruments&) = delete;

    SystemWallClock clock;
    ClockSeededRandom random;
    K7rxModel k7rx{clock, random};
    Vq480Model vq480;
};

}  // namespace tabwright
