// Feeds random sequences of received bytes, silences and Cancel to the
// transfer engine and checks, beside "no crash", what must hold whatever the
// instrument sends:
// - the temporary file only ever holds bytes that arrived after the sync was
//   echoed, in the order they arrived, without the check bytes: it is always
//   a prefix of those bytes;
// - writes follow each other without gaps, and a turn writes at most once: a
//   turn with a byte writes only when that byte is the 1025th since the
//   attempt began, since the sync or since the last acknowledged check byte;
//   a turn with nothing writes only when it starts a new attempt;
// - the counts reported are the file's length, never negative.
#include <cstddef>
#include <cstdint>
#include <string>

#include "logfetch/download/transfer_engine.h"
#include "logfetch/download/transfer_fuzz_input.h"
#include "logfetch/testing/fake_clock.h"

namespace {

using logfetch::TransferEngine;

void require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

class CheckingWorld : public logfetch::TransferWorld {
public:
    void sendByte(std::uint8_t byte) override { sentThisTurn_.push_back(static_cast<char>(byte)); }
    bool restartTempFile() override
    {
        file_.clear();
        expected_.clear();
        recording_ = false;
        sinceReset_ = 0;
        restartedThisTurn_ = true;
        return true;
    }
    bool writeTempFile(std::int64_t offset, std::string_view bytes) override
    {
        require(offset == static_cast<std::int64_t>(file_.size()));
        require(!bytes.empty() && bytes.size() <= TransferEngine::kBlockSize);
        file_.append(bytes);
        ++writesThisTurn_;
        return true;
    }
    void closeTempFile() override {}
    void setInstructions(std::string_view) override {}
    void setStatus(std::string_view) override {}
    void addTextLine(std::string_view line) override { require(!line.empty()); }
    void showMessage(std::string_view) override {}

    void byteTurn(TransferEngine& engine, std::uint8_t byte)
    {
        startTurn();
        const bool wasRunning = engine.running();
        engine.byteReceived(byte);
        if (!wasRunning) {
            require(writesThisTurn_ == 0 && sentThisTurn_.empty());
            return;
        }
        ++sinceReset_;
        const bool checkByte = sinceReset_ == TransferEngine::kBlockSize + 1;
        require(writesThisTurn_ <= (checkByte ? 1 : 0));
        require(sentThisTurn_.size() <= 4);
        if (checkByte) {
            const bool acknowledged =
                !sentThisTurn_.empty() && sentThisTurn_.front() == static_cast<char>(byte);
            require(acknowledged || engine.state() == TransferEngine::Finished);
            sinceReset_ = 0;
        } else if (recording_) {
            expected_.push_back(static_cast<char>(byte));
        }
        if (sentThisTurn_.size() >= 3 && sentThisTurn_.ends_with("\xA5\x3C\x69")) {
            recording_ = true;
            sinceReset_ = 0;
        }
        checkFile(engine);
    }

    void nothingTurn(TransferEngine& engine)
    {
        startTurn();
        engine.nothingReceived();
        require(sentThisTurn_.empty());
        require(writesThisTurn_ <= (restartedThisTurn_ ? 1 : 0));
        checkFile(engine);
    }

    void finish(TransferEngine& engine)
    {
        startTurn();
        engine.finish();
        require(writesThisTurn_ <= 1 && sentThisTurn_.empty());
        checkFile(engine);
    }

private:
    void startTurn()
    {
        sentThisTurn_.clear();
        writesThisTurn_ = 0;
        restartedThisTurn_ = false;
    }

    void checkFile(const TransferEngine& engine) const
    {
        require(expected_.starts_with(file_));
        require(engine.bytesInFile() >= 0 && engine.blockCount() >= 0);
        require(engine.bytesInFile() == static_cast<std::int64_t>(file_.size()));
    }

    std::string file_;
    std::string expected_;  // bytes that may reach the file, in order
    bool recording_ = false;
    int sinceReset_ = 0;
    std::string sentThisTurn_;
    int writesThisTurn_ = 0;
    bool restartedThisTurn_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    namespace fuzz = logfetch::fuzz;
    if (size == 0)
        return 0;
    testing_support::FakeClock clock(fuzz::startTimeOfDay(data[0]));
    CheckingWorld world;
    TransferEngine engine(world, clock);
    engine.start();
    for (std::size_t i = 1; i < size && engine.running(); ++i) {
        if (data[i] != fuzz::kEscape || i + 1 == size) {
            clock.advance(1);
            world.byteTurn(engine, data[i]);
            continue;
        }
        const std::uint8_t next = data[++i];
        if (next == fuzz::kEscape) {
            clock.advance(1);
            world.byteTurn(engine, next);
        } else if (next == fuzz::kCancel) {
            engine.cancel();
        } else {
            clock.advance(next * fuzz::kSilenceStepMilliseconds);
            world.nothingTurn(engine);
        }
    }
    if (engine.running())
        engine.cancel();
    world.finish(engine);
    require(engine.finalCounts().find('-') == std::string::npos);
    return 0;
}
