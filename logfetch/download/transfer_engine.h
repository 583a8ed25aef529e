#pragma once

#include <cstdint>
#include <string>

#include "logfetch/download/clock.h"
#include "logfetch/download/transfer_world.h"

namespace logfetch {

// The PC's side of the data-logger download, as a state machine fed one loop
// turn at a time: a byte that arrived, or a turn that found nothing waiting.
//
// The instrument sends text lines, then the sync A5 3C 69, which the PC echoes;
// then blocks of 1024 data bytes, each followed by a check byte (their sum
// modulo 256) that the PC echoes; the data end with the end marker
// C9 96 6C A5 5A C3 and one closing byte, echoed too. The data bytes from the
// kind marker to the end marker go to the temporary file, in 1024-byte pieces
// as each check byte arrives and the rest at the end. More than 5 seconds of
// silence once the sync has begun starts a new attempt with an emptied file.
class TransferEngine {
public:
    enum State : std::int16_t {
        // A time-out (-2, a communication error) starts the new attempt in the
        // same turn, so the engine is never seen in it.
        Finished = -1,  // end marker and closing byte, or a bad check byte
        Waiting = 0,    // text lines, waiting for the sync
        Sync = 1,
        KindMarker = 2,
        HeaderFirst = 3,  // 3 to 9 step over the 18 header bytes
        HeaderLast = 9,
        Data = 11,
        ClosingByte = 12,
        Cancelled = 13,
    };

    static constexpr std::int16_t kBlockSize = 1024;
    static constexpr std::int32_t kTimeoutMilliseconds = 5000;

    TransferEngine(TransferWorld& world, Clock& clock);

    // Start of the transfer: the first instruction and the first attempt.
    void start();

    // The loop's test: true while the transfer goes on.
    bool running() const;

    // One loop turn. Each first makes the loop's test, so a turn after the end
    // or after Cancel does nothing; both return running() after the turn.
    bool byteReceived(std::uint8_t byte);
    bool nothingReceived();

    // Cancel: the transfer ends at the next test, whatever the turn in
    // progress does.
    void cancel();
    // The link to the instrument is gone: the transfer ends at the next test
    // as after a bad check byte, keeping what the file holds.
    void abandon();

    // After the loop: the rest of the block to the file, the file closed, the
    // final counts as status text and in a message box. Once only.
    void finish();

    State state() const { return state_; }
    // True once the transfer has ended after its end marker with the whole
    // log in the file: no bad check byte, no lost link, no failed write.
    bool reachedEnd() const { return endReached_ && fileUsable_; }
    std::int32_t blockCount() const { return blockCount_; }
    std::int64_t bytesInFile() const { return filePosition_; }
    // "Download Finished. Number of Blocks = n. Number of Bytes = m"
    std::string finalCounts() const;

private:
    void startAttempt();
    void takeCheckByte(std::uint8_t byte);
    void dispatch(std::uint8_t byte);
    void waitForSync(std::uint8_t byte);
    void followSync(std::uint8_t byte);
    void completeHandshake();
    void readKindMarker(std::uint8_t byte);
    void stepOverHeader();
    void watchForEndMarker(std::uint8_t byte);
    void communicationError();
    void endAfterEndMarker();
    bool writeBlockBuffer();
    void enter(State state);
    std::int32_t secondsNow();

    TransferWorld& world_;
    Clock& clock_;

    // Cancel stands for the run flag too: it ends the loop and stays.
    State state_ = Waiting;
    bool finished_ = false;
    bool endReached_ = false;
    std::int16_t byteCounter_ = 0;
    // Only the sum modulo 256 is ever compared; unsigned arithmetic keeps that
    // exact however long the sum runs without a reset.
    std::uint32_t blockSum_ = 0;
    bool checkByte_ = false;
    bool recording_ = false;
    std::string blockBuffer_;
    std::int64_t filePosition_ = 0;  // 0-based offset of the next write
    bool fileUsable_ = false;
    std::int32_t blockCount_ = 0;
    std::string textLine_;
    std::int32_t lastByteTime_ = 0;  // seconds since midnight, whole seconds

    int syncBytesSeen_ = 0;    // state 1: 1 after A5, 2 after A5 3C; 3 once it went wrong
    std::string kindMarker_;   // state 2: the first three bytes after the sync
    int headerBytesLeft_ = 0;  // state 5: of its 12 bytes
    std::string endWindow_;    // state 11: the last six data bytes
};

}  // namespace logfetch
