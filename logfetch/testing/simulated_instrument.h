#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

// The instrument's side of the data-logger download, as plain protocol logic:
// what it sends next and which echoes it waits for. Tests run it in memory
// against the transfer engine, or through a pseudo-terminal.
namespace testing_support {

struct InstrumentScript {
    std::vector<std::string> textLines;      // sent first, each followed by CR LF
    std::string beforeSync;                  // any bytes, sent after the text lines
    std::string sync = "\xA5\x3C\x69";       // the instrument waits for these bytes echoed
    std::string data;                        // the data log: kind marker .. end marker
    int badCheckByteBlock = 0;               // 1-based block sent with a wrong check byte; 0: none
    std::optional<std::size_t> silentAfter;  // stops after sending this many bytes in all
    bool closingByte = true;                 // false: nothing follows the end marker
};

class SimulatedInstrument {
public:
    static constexpr std::size_t kBlockSize = 1024;

    explicit SimulatedInstrument(InstrumentScript script);

    // The byte the instrument sends next, or nothing while it waits for an
    // echo, has fallen silent or has sent everything.
    std::optional<std::uint8_t> nextByte();
    // A byte from the PC. While the instrument waits for an echo, a byte that
    // differs from the one awaited is noted in faults() and silences it for
    // good; while it is sending it does not listen.
    void received(std::uint8_t byte);

    // Everything sent and every echo received.
    bool done() const;
    std::size_t bytesSent() const { return sent_; }
    const std::string& receivedFromPc() const { return fromPc_; }
    const std::vector<std::string>& faults() const { return faults_; }

private:
    // A run of bytes to send, then the echo to wait for before going on.
    struct Step {
        std::string send;
        std::string echo;
    };
    void plan(const InstrumentScript& script);

    std::deque<Step> steps_;
    std::size_t offset_ = 0;  // into the front step's send
    std::string awaited_;     // rest of the echo the instrument is waiting for
    std::optional<std::size_t> silentAfter_;
    std::size_t sent_ = 0;
    std::string fromPc_;
    std::vector<std::string> faults_;
};

// Check byte of a block: the sum of its bytes modulo 256.
std::uint8_t checkByteOf(std::string_view block);

// A data log of exactly `length` bytes (at least 27): interval kind marker,
// one data set's header, readings, end marker. Readings never form the end
// marker by chance.
std::string makeDataLog(std::size_t length);

}  // namespace testing_support
