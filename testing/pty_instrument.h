#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

// An instrument at the far end of a serial cable, made of a pseudo-terminal.
// The program under test opens devicePath() as its serial port; the test
// plays the instrument through this object. Both ends are raw, so all 256
// byte values pass unchanged in both directions. Bytes are single-byte
// characters in std::string.
//
// Typical use:
//   PtyInstrument instrument;
//   TemporaryPortMapping mapping;            // testing/port_mapping.h
//   mapping.map(3, instrument.devicePath()); // COM3 is this instrument
//   ... program opens COM3 ...
//   instrument.send("12.5\r\n");
//   std::string reply = instrument.receive(3, std::chrono::seconds(2));
//   instrument.pullCable();                  // the program's port goes dead
class PtyInstrument {
public:
    // Throws std::runtime_error when no pseudo-terminal can be made.
    PtyInstrument();
    ~PtyInstrument();
    PtyInstrument(const PtyInstrument&) = delete;
    PtyInstrument& operator=(const PtyInstrument&) = delete;

    // The device the program opens (/dev/pts/N).
    const std::string& devicePath() const { return devicePath_; }

    // Sends every byte, waiting while the line is full; throws
    // std::runtime_error if the program has taken nothing for `timeout`, or
    // after the cable was pulled.
    void send(std::string_view bytes, std::chrono::milliseconds timeout = std::chrono::seconds(5));
    void send(const std::vector<std::uint8_t>& bytes,
              std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // Sends what fits now without waiting; returns how many bytes went.
    std::size_t trySend(std::string_view bytes);

    // What the program has sent so far and nobody read yet; never waits.
    std::string receiveAvailable();
    // Waits until `count` bytes have come or `timeout` has passed; returns
    // what came (shorter than count after a time-out).
    std::string receive(std::size_t count, std::chrono::milliseconds timeout);

    // Bytes sent by the instrument that wait on the program's side, not yet
    // read by the program from the system.
    std::size_t waitingForProgram() const;
    // Waits until the system has passed on everything sent, so that waiting
    // bytes are exactly `count` (or the timeout passes); true when reached.
    bool waitUntilWaitingForProgram(std::size_t count, std::chrono::milliseconds timeout) const;

    // Unplugs the cable: the instrument's end closes, and the program's port
    // reports errors from now on. Sending fails afterwards.
    void pullCable();
    bool cableConnected() const { return master_ >= 0; }

private:
    int master_ = -1;  // the instrument's end
    int slave_ = -1;   // held so the line keeps its settings between opens of the program
    std::string devicePath_;
};

}  // namespace testing_support
