#include "logfetch/testing/pty_instrument_runner.h"

#include <thread>

#include <algorithm>
#include <chrono>

namespace testing_support {

namespace {

using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

// Ten bits a byte at 9600 baud.
constexpr auto kByteTime =
    std::chrono::duration_cast<SteadyClock::duration>(std::chrono::microseconds(1'000'000) / 960);
constexpr std::size_t kFastChunk = 4096;
constexpr auto kIdleWait = 2ms;

}  // namespace

PtyInstrumentRunner::PtyInstrumentRunner(PtyInstrument& pty, Pace pace) : pty_(pty), pace_(pace)
{
    thread_ = std::thread([this] { run(); });
}

PtyInstrumentRunner::~PtyInstrumentRunner()
{
    stop();
}

void PtyInstrumentRunner::play(InstrumentScript script)
{
    const std::lock_guard lock(mutex_);
    instrument_.emplace(std::move(script));
    pending_.clear();
}

void PtyInstrumentRunner::stop()
{
    stopping_ = true;
    if (thread_.joinable())
        thread_.join();
}

bool PtyInstrumentRunner::done() const
{
    const std::lock_guard lock(mutex_);
    return instrument_ && instrument_->done() && pending_.empty();
}

bool PtyInstrumentRunner::waitUntilDone(std::chrono::milliseconds timeout) const
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return done();
}

std::size_t PtyInstrumentRunner::bytesSent() const
{
    const std::lock_guard lock(mutex_);
    return instrument_ ? instrument_->bytesSent() - pending_.size() : 0;
}

std::string PtyInstrumentRunner::receivedFromPc() const
{
    const std::lock_guard lock(mutex_);
    return instrument_ ? instrument_->receivedFromPc() : std::string();
}

std::vector<std::string> PtyInstrumentRunner::faults() const
{
    const std::lock_guard lock(mutex_);
    return instrument_ ? instrument_->faults() : std::vector<std::string>();
}

void PtyInstrumentRunner::run()
{
    auto nextByteAt = SteadyClock::now();
    while (!stopping_) {
        std::string echoes;
        bool idle = false;
        {
            const std::lock_guard lock(mutex_);
            if (instrument_) {
                echoes = pty_.receiveAvailable();
                for (char c : echoes)
                    instrument_->received(static_cast<std::uint8_t>(c));
                const std::size_t want = pace_ == Pace::LineSpeed ? 1 : kFastChunk;
                while (pending_.size() < want) {
                    const auto byte = instrument_->nextByte();
                    if (!byte)
                        break;
                    pending_.push_back(static_cast<char>(*byte));
                }
            }
            if (pace_ == Pace::LineSpeed && !pending_.empty()) {
                // A line that was quiet starts its next byte now, not in the past.
                nextByteAt = std::max(nextByteAt, SteadyClock::now() - kByteTime);
                std::this_thread::sleep_until(nextByteAt);
                nextByteAt += kByteTime;
            }
            idle = !sendPending();
        }
        if (idle && !pty_.cableConnected()) {
            std::this_thread::sleep_for(kIdleWait);
        } else if (idle) {
            // Waits for the program's reply, or for room on the line.
            const std::string early =
                pty_.receive(1, std::chrono::duration_cast<std::chrono::milliseconds>(kIdleWait));
            const std::lock_guard lock(mutex_);
            for (char c : early)
                if (instrument_)
                    instrument_->received(static_cast<std::uint8_t>(c));
        }
    }
}

bool PtyInstrumentRunner::sendPending()
{
    if (pending_.empty() || !pty_.cableConnected())
        return false;
    const std::size_t sent = pty_.trySend(pending_);
    pending_.erase(0, sent);
    return sent > 0;
}

}  // namespace testing_support
