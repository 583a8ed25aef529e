#include "logfetch/download/transfer_engine.h"

#include <string_view>

namespace logfetch {
namespace {

constexpr std::uint8_t kSyncFirst = 0xA5;
constexpr std::uint8_t kSyncSecond = 0x3C;
constexpr std::uint8_t kSyncThird = 0x69;
constexpr std::string_view kIntervalMarker = "\xC3\xC3\xC3";
constexpr std::string_view kStampedMarker = "\x3C\x3C\x3C";
constexpr std::uint32_t kIntervalMarkerSum = 3 * 0xC3;  // 585
constexpr std::uint32_t kStampedMarkerSum = 3 * 0x3C;   // 180
constexpr std::string_view kEndMarker = "\xC9\x96\x6C\xA5\x5A\xC3";
constexpr int kHeaderStateFiveBytes = 12;
constexpr std::uint8_t kCarriageReturn = 13;
constexpr std::uint8_t kLineFeed = 10;

// The characters collected into a text line while waiting for the sync.
constexpr std::string_view kTextLineCharacters =
    " ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789/.,()[]{}:;=";

constexpr std::string_view kStartInstruction = "Have the instrument start downloading";
constexpr std::string_view kReceivingInstruction =
    "Please wait for download to complete or press cancel to stop.";
constexpr std::string_view kStartedStatus = "Download has started";
constexpr std::string_view kCommunicationErrorInstruction =
    "Communication Error.  Please restart the download";
constexpr std::string_view kChecksumErrorMessage = "serial port checksum error";

constexpr std::int32_t kMillisecondsPerSecond = 1000;
constexpr std::int32_t kHalfDay = kMillisecondsPerDay / 2;

bool isTextLineCharacter(std::uint8_t byte)
{
    return kTextLineCharacters.find(static_cast<char>(byte)) != std::string_view::npos;
}

}  // namespace

TransferEngine::TransferEngine(TransferWorld& world, Clock& clock) : world_(world), clock_(clock) {}

void TransferEngine::start()
{
    world_.setInstructions(kStartInstruction);
    startAttempt();
}

bool TransferEngine::running() const
{
    return state_ != Finished && state_ != Cancelled;
}

void TransferEngine::cancel()
{
    state_ = Cancelled;
}

void TransferEngine::abandon()
{
    enter(Finished);
}

void TransferEngine::enter(State state)
{
    // Once cancelled, nothing a turn still does can bring the transfer back.
    if (state_ != Cancelled)
        state_ = state;
}

void TransferEngine::startAttempt()
{
    world_.setStatus("");
    fileUsable_ = world_.restartTempFile();
    filePosition_ = 0;
    blockBuffer_.clear();
    textLine_.clear();
    enter(Waiting);
    lastByteTime_ = secondsNow();
    byteCounter_ = 0;
    blockCount_ = 0;
    recording_ = false;
    endWindow_.clear();
    if (!fileUsable_)
        enter(Finished);
}

std::int32_t TransferEngine::secondsNow()
{
    return (clock_.millisecondsSinceMidnight() + kMillisecondsPerSecond / 2) / kMillisecondsPerSecond;
}

bool TransferEngine::nothingReceived()
{
    if (!running())
        return false;
    if (state_ > Waiting) {
        std::int32_t elapsed = clock_.millisecondsSinceMidnight() - lastByteTime_ * kMillisecondsPerSecond;
        // Past midnight the time of day starts again from 0.
        if (elapsed < -kHalfDay)
            elapsed += kMillisecondsPerDay;
        if (elapsed > kTimeoutMilliseconds) {
            // The end marker is in the file: a closing byte that never comes
            // costs nothing, so the download ends as complete.
            if (state_ == ClosingByte)
                endAfterEndMarker();
            else
                communicationError();
        }
    }
    return running();
}

bool TransferEngine::byteReceived(std::uint8_t byte)
{
    if (!running())
        return false;
    ++byteCounter_;
    if (byteCounter_ == kBlockSize + 1) {
        takeCheckByte(byte);
    } else {
        checkByte_ = false;
        if (recording_)
            blockBuffer_.push_back(static_cast<char>(byte));
        blockSum_ += byte;
    }
    lastByteTime_ = secondsNow();
    // A bad check byte has ended the transfer; the byte is not looked at again.
    if (running())
        dispatch(byte);
    return running();
}

void TransferEngine::takeCheckByte(std::uint8_t byte)
{
    checkByte_ = true;
    if (!writeBlockBuffer())
        return;
    // A block ending exactly with the end marker was counted by the marker.
    if (state_ != ClosingByte)
        ++blockCount_;
    world_.setStatus("Block Received:  " + std::to_string(blockCount_));
    if (blockSum_ % 256 == byte) {
        world_.sendByte(byte);
        byteCounter_ = 0;
        blockSum_ = 0;
    } else {
        world_.showMessage(kChecksumErrorMessage);
        enter(Finished);
    }
}

void TransferEngine::dispatch(std::uint8_t byte)
{
    switch (state_) {
    case Waiting:
        waitForSync(byte);
        break;
    case Sync:
        followSync(byte);
        break;
    case KindMarker:
        readKindMarker(byte);
        break;
    case Data:
        watchForEndMarker(byte);
        break;
    case ClosingByte:
        world_.sendByte(byte);
        endAfterEndMarker();
        break;
    default:
        if (state_ >= HeaderFirst && state_ <= HeaderLast)
            stepOverHeader();
        break;
    }
}

void TransferEngine::waitForSync(std::uint8_t byte)
{
    if (byte == kCarriageReturn || byte == kLineFeed) {
        if (!textLine_.empty())
            world_.addTextLine(textLine_);
        textLine_.clear();
    } else if (isTextLineCharacter(byte)) {
        textLine_.push_back(static_cast<char>(byte));
    } else if (byte == kSyncFirst) {
        syncBytesSeen_ = 1;
        enter(Sync);
    }
}

void TransferEngine::followSync(std::uint8_t byte)
{
    // A wrong byte leaves the attempt unable to synchronise: it waits here for
    // the time-out (or the 1025th byte), and a second A5 starts nothing.
    constexpr int kBroken = 3;
    if (syncBytesSeen_ == 1)
        syncBytesSeen_ = byte == kSyncSecond ? 2 : kBroken;
    else if (syncBytesSeen_ == 2 && byte == kSyncThird)
        completeHandshake();
    else
        syncBytesSeen_ = kBroken;
}

void TransferEngine::completeHandshake()
{
    byteCounter_ = 0;
    world_.sendByte(kSyncFirst);
    world_.sendByte(kSyncSecond);
    world_.sendByte(kSyncThird);
    recording_ = true;
    world_.setInstructions(kReceivingInstruction);
    world_.setStatus(kStartedStatus);
    kindMarker_.clear();
    enter(KindMarker);
}

void TransferEngine::readKindMarker(std::uint8_t byte)
{
    if (kindMarker_.size() >= kIntervalMarker.size())
        return;  // not a kind marker: wait for the time-out or the block rule
    kindMarker_.push_back(static_cast<char>(byte));
    // The block sum starts again with the marker's own bytes, dropping the
    // text and sync bytes summed before it.
    if (kindMarker_ == kIntervalMarker) {
        blockSum_ = kIntervalMarkerSum;
        enter(HeaderFirst);
    } else if (kindMarker_ == kStampedMarker) {
        blockSum_ = kStampedMarkerSum;
        enter(HeaderFirst);
    }
}

void TransferEngine::stepOverHeader()
{
    // States 3, 4, 6, 7, 8 and 9 take one byte each, state 5 takes twelve:
    // the data-set count and the first data set's header.
    if (state_ == HeaderFirst + 1) {
        headerBytesLeft_ = kHeaderStateFiveBytes;
    } else if (state_ == HeaderFirst + 2 && --headerBytesLeft_ > 0) {
        return;
    } else if (state_ == HeaderLast) {
        endWindow_.clear();
        enter(Data);
        return;
    }
    enter(static_cast<State>(state_ + 1));
}

void TransferEngine::watchForEndMarker(std::uint8_t byte)
{
    if (checkByte_)
        return;
    endWindow_.push_back(static_cast<char>(byte));
    if (endWindow_.size() > kEndMarker.size())
        endWindow_.erase(0, 1);
    if (endWindow_ == kEndMarker) {
        recording_ = false;
        ++blockCount_;  // the short last block, written after the loop
        enter(ClosingByte);
    }
}

void TransferEngine::endAfterEndMarker()
{
    enter(Finished);
    endReached_ = state_ == Finished;
}

void TransferEngine::communicationError()
{
    world_.setInstructions(kCommunicationErrorInstruction);
    writeBlockBuffer();
    world_.closeTempFile();
    startAttempt();
}

bool TransferEngine::writeBlockBuffer()
{
    if (fileUsable_ && !blockBuffer_.empty()) {
        if (world_.writeTempFile(filePosition_, blockBuffer_)) {
            filePosition_ += static_cast<std::int64_t>(blockBuffer_.size());
        } else {
            // The world has said why; what is already in the file stays.
            fileUsable_ = false;
            enter(Finished);
        }
    }
    blockBuffer_.clear();
    return fileUsable_;
}

void TransferEngine::finish()
{
    if (finished_)
        return;
    finished_ = true;
    writeBlockBuffer();
    world_.closeTempFile();
    const std::string counts = finalCounts();
    world_.setStatus(counts);
    world_.showMessage(counts);
}

std::string TransferEngine::finalCounts() const
{
    return "Download Finished. Number of Blocks = " + std::to_string(blockCount_) +
           ". Number of Bytes = " + std::to_string(filePosition_);
}

}  // namespace logfetch
