#pragma once

#include <chrono>

#include <atomic>
#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "logfetch/testing/simulated_instrument.h"
#include "testing/pty_instrument.h"

namespace testing_support {

// Plays a SimulatedInstrument through a PtyInstrument on a thread of its own:
// sends what the instrument says, paced like the real line or as fast as the
// pseudo-terminal takes it, and hands it every byte the program sends back.
class PtyInstrumentRunner {
public:
    enum class Pace {
        LineSpeed,  // 9600 baud, 8 data bits, no parity, 1 stop bit: 960 bytes a second
        AsFastAsPossible,
    };

    PtyInstrumentRunner(PtyInstrument& pty, Pace pace);
    ~PtyInstrumentRunner();
    PtyInstrumentRunner(const PtyInstrumentRunner&) = delete;
    PtyInstrumentRunner& operator=(const PtyInstrumentRunner&) = delete;

    // The user starts the transfer on the instrument: a fresh instrument plays
    // the script, replacing any earlier one.
    void play(InstrumentScript script);
    // Stops the thread; the pseudo-terminal is the test's again.
    void stop();

    // What the current instrument did so far (safe while it runs).
    bool done() const;
    // Waits until the instrument is done, at most `timeout`: the program may end the
    // moment it sends its last echo, before the instrument has read it.
    bool waitUntilDone(std::chrono::milliseconds timeout) const;
    std::size_t bytesSent() const;
    std::string receivedFromPc() const;
    std::vector<std::string> faults() const;

private:
    void run();
    // Sends from `pending_`; false when nothing could go.
    bool sendPending();

    PtyInstrument& pty_;
    const Pace pace_;
    mutable std::mutex mutex_;
    std::optional<SimulatedInstrument> instrument_;
    std::string pending_;  // taken from the instrument, not yet on the line
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

}  // namespace testing_support
