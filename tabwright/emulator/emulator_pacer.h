#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "tabwright/emulator/instrument_model.h"
#include "tabwright/emulator/steady_clock.h"

namespace tabwright {

// The emulated instrument's pace, four outputs a second by its own clock, in the emulator
// window and on the command line alike. Its owner calls tick() from a timer of about
// kOutputInterval; each tick says every output due since start(), so a late or missed
// timer (a busy thread) makes no output fewer: the outputs come together, in order, as
// the text of a real instrument waits in a serial port's buffer.
class EmulatorPacer {
public:
    static constexpr std::chrono::milliseconds kOutputInterval{250};

    // `say` receives each output of the instrument.
    EmulatorPacer(SteadyClock& clock, std::function<void(std::string)> say);

    // Counts from now: the first output is due one interval later.
    void start();
    // Says the outputs due by now, each the next output of `model`; returns the last one
    // said, or nothing when none was due. With no model (a machine not emulated) the due
    // outputs pass unsaid. When the model throws, the due outputs not yet said pass
    // unsaid and the error goes on to the caller.
    std::optional<std::string> tick(InstrumentModel* model);

private:
    std::int64_t dueByNow();

    SteadyClock& clock_;
    std::function<void(std::string)> say_;
    std::chrono::steady_clock::time_point started_{};
    std::int64_t passed_ = 0;  // outputs said or passed since start()
};

}  // namespace tabwright
