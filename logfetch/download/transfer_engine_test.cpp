#include "logfetch/download/transfer_engine.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "logfetch/testing/fake_clock.h"
#include "logfetch/testing/recording_transfer_world.h"
#include "logfetch/testing/simulated_instrument.h"

namespace logfetch {
namespace {

using testing::ElementsAre;
using testing_support::checkByteOf;
using testing_support::InstrumentScript;
using testing_support::makeDataLog;
using testing_support::SimulatedInstrument;

constexpr char kCommunicationError[] = "Communication Error.  Please restart the download";
constexpr char kChecksumError[] = "serial port checksum error";
constexpr std::int32_t kPoll = 250;  // milliseconds between turns that find nothing

std::string counts(int blocks, int bytes)
{
    return "Download Finished. Number of Blocks = " + std::to_string(blocks) +
           ". Number of Bytes = " + std::to_string(bytes);
}

// The engine and an instrument joined in memory: every byte the engine sends
// reaches the instrument at once, each byte takes a millisecond, and a turn
// that finds nothing comes every quarter second.
class Transfer {
public:
    Transfer()
    {
        world.onSend = [this](std::uint8_t byte) { instrument_->received(byte); };
    }

    // Runs until the transfer ends or the instrument has said nothing for
    // `quietMilliseconds`; then, if the loop has ended, the after-loop step.
    void attach(SimulatedInstrument& instrument) { instrument_ = &instrument; }

    void run(SimulatedInstrument& instrument, std::int32_t quietMilliseconds = 60'000)
    {
        attach(instrument);
        if (!started_)
            engine.start();
        started_ = true;
        for (std::int32_t quiet = 0; engine.running() && quiet < quietMilliseconds;) {
            if (const auto byte = instrument.nextByte()) {
                clock.advance(1);
                engine.byteReceived(*byte);
                quiet = 0;
            } else {
                clock.advance(kPoll);
                quiet += kPoll;
                engine.nothingReceived();
            }
        }
        if (!engine.running())
            engine.finish();
    }

    void bytes(std::string_view bytes)
    {
        for (char c : bytes)
            engine.byteReceived(static_cast<std::uint8_t>(c));
    }

    testing_support::RecordingTransferWorld world;
    testing_support::FakeClock clock;
    TransferEngine engine{world, clock};

private:
    SimulatedInstrument* instrument_ = nullptr;
    bool started_ = false;
};

InstrumentScript dataScript(std::string data)
{
    InstrumentScript script;
    script.data = std::move(data);
    return script;
}

class WholeTransfer : public testing::TestWithParam<std::size_t> {};

TEST_P(WholeTransfer, FileHoldsExactlyTheDataAndCountsTheShortLastBlock)
{
    const std::size_t length = GetParam();
    const std::string data = makeDataLog(length);
    SimulatedInstrument instrument(dataScript(data));
    Transfer transfer;
    transfer.run(instrument);

    EXPECT_TRUE(instrument.done()) << testing::PrintToString(instrument.faults());
    EXPECT_EQ(transfer.engine.state(), TransferEngine::Finished);
    EXPECT_EQ(transfer.world.file, data);
    const int fullBlocks = static_cast<int>(length / 1024);
    EXPECT_EQ(transfer.world.status, counts(fullBlocks + 1, static_cast<int>(length)));
    EXPECT_THAT(transfer.world.messages, ElementsAre(counts(fullBlocks + 1, static_cast<int>(length))));
    // The sync, each check byte and the closing byte came back.
    std::string expectedEchoes = "\xA5\x3C\x69";
    for (std::size_t start = 0; start < length; start += 1024)
        expectedEchoes.push_back(static_cast<char>(checkByteOf(data.substr(start, 1024))));
    EXPECT_EQ(transfer.world.sent, expectedEchoes);
}

// No full block, two full blocks and a short one, a last block one byte short,
// an end marker straddling the check byte between two blocks.
INSTANTIATE_TEST_SUITE_P(Lengths, WholeTransfer,
                         testing::Values(27, 2 * 1024 + 100, 3 * 1024 + 1023, 1024 + 3));

TEST(TransferEngine, EffectsComeInTheOrderTheUserAndInstrumentSeeThem)
{
    const std::string data = makeDataLog(1024 + 30);
    SimulatedInstrument instrument(dataScript(data));
    Transfer transfer;
    transfer.run(instrument);

    const std::string check = std::to_string(checkByteOf(data.substr(0, 1024)));
    const std::string closing = std::to_string(checkByteOf(data.substr(1024)));
    EXPECT_THAT(transfer.world.effects,
                ElementsAre("instructions Have the instrument start downloading", "status ", "restart file",
                            "send 165", "send 60", "send 105",
                            "instructions Please wait for download to complete or press cancel to stop.",
                            "status Download has started", "write 1024 at 0", "status Block Received:  1",
                            "send " + check, "send " + closing, "write 30 at 1024", "close file",
                            "status " + counts(2, 1054), "message " + counts(2, 1054)));
}

TEST(TransferEngine, StampedKindMarkerResetsTheBlockSumToo)
{
    std::string data = makeDataLog(1500);
    data.replace(0, 3, "\x3C\x3C\x3C");
    SimulatedInstrument instrument(dataScript(data));
    Transfer transfer;
    transfer.run(instrument);
    EXPECT_TRUE(instrument.done());
    EXPECT_EQ(transfer.world.file, data);
}

TEST(TransferEngine, TextLinesBeforeTheSyncGoToTheListFiltered)
{
    InstrumentScript script = dataScript(makeDataLog(600));
    script.textLines = {"K7RX Data Logger", "", "Memory: 42% {used} [ok] ~*#!", "x=1; y=(2)"};
    script.beforeSync = "\n\rtail without end";
    SimulatedInstrument instrument(script);
    Transfer transfer;
    transfer.run(instrument);

    EXPECT_THAT(transfer.world.textLines,
                ElementsAre("K7RX Data Logger", "Memory: 42 {used} [ok] ", "x=1; y=(2)"));
    EXPECT_EQ(transfer.world.file, script.data);
    EXPECT_TRUE(instrument.done());
}

TEST(TransferEngine, WrongSyncWaitsForTheTimeOutThenAFreshAttemptSucceeds)
{
    InstrumentScript wrong = dataScript(makeDataLog(2000));
    wrong.sync = "\xA5\x3C\x00\xA5\x3C\x69";  // a second A5 starts nothing
    SimulatedInstrument first(wrong);
    Transfer transfer;
    transfer.run(first, 4000);
    EXPECT_TRUE(transfer.engine.running());
    EXPECT_EQ(transfer.world.instructions, "Have the instrument start downloading");

    transfer.run(first, 2000);
    EXPECT_EQ(transfer.world.instructions, kCommunicationError);
    EXPECT_EQ(transfer.world.restarts, 2);
    EXPECT_EQ(transfer.engine.state(), TransferEngine::Waiting);
    EXPECT_TRUE(transfer.world.sent.empty());

    SimulatedInstrument second(dataScript(makeDataLog(2000)));
    transfer.run(second);
    EXPECT_TRUE(second.done());
    EXPECT_EQ(transfer.world.file, makeDataLog(2000));
    EXPECT_EQ(transfer.world.status, counts(2, 2000));
}

TEST(TransferEngine, UnknownKindMarkerWaitsForTheTimeOut)
{
    std::string data = makeDataLog(300);
    data.replace(0, 3, "\xC3\xC3\x3C");
    SimulatedInstrument instrument(dataScript(data));
    Transfer transfer;
    transfer.run(instrument, 6000);
    EXPECT_EQ(transfer.world.instructions, kCommunicationError);
    EXPECT_EQ(transfer.engine.state(), TransferEngine::Waiting);
    EXPECT_TRUE(transfer.world.file.empty());
}

TEST(TransferEngine, TimeOutFallsBetweenFourAndAHalfAndFiveAndAHalfSeconds)
{
    for (const auto& [lastByteAt, quietWithout, quietWith] :
         {std::tuple{400, 4600, 4601}, std::tuple{600, 5400, 5401}}) {
        Transfer transfer;
        transfer.clock.set(10 * 3600 * 1000);
        transfer.engine.start();
        transfer.clock.advance(lastByteAt);
        transfer.bytes("\xA5");
        transfer.clock.advance(quietWithout);
        transfer.engine.nothingReceived();
        EXPECT_EQ(transfer.engine.state(), TransferEngine::Sync) << lastByteAt;
        transfer.clock.advance(quietWith - quietWithout);
        transfer.engine.nothingReceived();
        EXPECT_EQ(transfer.engine.state(), TransferEngine::Waiting) << lastByteAt;
        EXPECT_EQ(transfer.world.instructions, kCommunicationError);
    }
}

TEST(TransferEngine, TimeOutWorksAcrossMidnightAndNeverWhileWaitingForTheInstrument)
{
    Transfer transfer;
    transfer.clock.set(kMillisecondsPerDay - 1500);
    transfer.engine.start();
    transfer.clock.advance(3 * 3600 * 1000);  // no time-out in state 0
    transfer.engine.nothingReceived();
    EXPECT_EQ(transfer.world.restarts, 1);

    transfer.clock.set(kMillisecondsPerDay - 400);  // rounds up to midnight itself
    transfer.bytes("\xA5");
    transfer.clock.advance(200);
    transfer.engine.nothingReceived();
    transfer.clock.advance(5000);  // 00:00:04.800
    transfer.engine.nothingReceived();
    EXPECT_EQ(transfer.engine.state(), TransferEngine::Sync);
    transfer.clock.advance(201);
    transfer.engine.nothingReceived();
    EXPECT_EQ(transfer.engine.state(), TransferEngine::Waiting);
    EXPECT_EQ(transfer.world.restarts, 2);
}

TEST(TransferEngine, TimeOutMidTransferDiscardsTheAttempt)
{
    const std::string data = makeDataLog(3000);
    InstrumentScript script = dataScript(data);
    script.silentAfter = 3 + 1025 + 500;  // the sync, a block, half the next
    SimulatedInstrument instrument(script);
    Transfer transfer;
    transfer.run(instrument, 5500);

    const std::vector<std::string>& e = transfer.world.effects;
    ASSERT_GE(e.size(), 5U);
    EXPECT_THAT(std::vector(e.end() - 5, e.end()),
                ElementsAre("instructions Communication Error.  Please restart the download",
                            "write 500 at 1024", "close file", "status ", "restart file"));
    EXPECT_TRUE(transfer.world.file.empty());
    EXPECT_EQ(transfer.engine.blockCount(), 0);
    EXPECT_EQ(transfer.engine.bytesInFile(), 0);
}

TEST(TransferEngine, BadCheckByteEndsWithTheBlockInTheFile)
{
    const std::string data = makeDataLog(4000);
    InstrumentScript script = dataScript(data);
    script.badCheckByteBlock = 2;
    SimulatedInstrument instrument(script);
    Transfer transfer;
    transfer.run(instrument);

    EXPECT_EQ(transfer.engine.state(), TransferEngine::Finished);
    EXPECT_THAT(transfer.world.messages, ElementsAre(kChecksumError, counts(2, 2048)));
    EXPECT_EQ(transfer.world.file, data.substr(0, 2048));
    EXPECT_EQ(transfer.world.sent.size(), 4U);  // the sync and the first check byte only
}

TEST(TransferEngine, EndMarkerOnTheLastByteOfABlock)
{
    // The closing byte arrives where a check byte is due: checked, echoed,
    // and echoed again as the closing byte. The block is counted once.
    const std::string data = makeDataLog(2 * 1024);
    SimulatedInstrument instrument(dataScript(data));
    Transfer transfer;
    transfer.run(instrument);

    EXPECT_TRUE(instrument.done()) << testing::PrintToString(instrument.faults());
    const char check = static_cast<char>(checkByteOf(data.substr(1024)));
    EXPECT_EQ(transfer.world.sent.substr(4), std::string({check, check}));
    EXPECT_EQ(transfer.world.file, data);
    EXPECT_EQ(transfer.world.status, counts(2, 2048));
}

TEST(TransferEngine, MissingClosingByteKeepsTheCompleteDownload)
{
    const std::string data = makeDataLog(1500);
    InstrumentScript script = dataScript(data);
    script.closingByte = false;
    SimulatedInstrument instrument(script);
    Transfer transfer;
    transfer.run(instrument, 6000);

    EXPECT_EQ(transfer.engine.state(), TransferEngine::Finished);
    EXPECT_EQ(transfer.world.instructions, "Please wait for download to complete or press cancel to stop.");
    EXPECT_EQ(transfer.world.file, data);
    EXPECT_EQ(transfer.world.status, counts(2, 1500));
}

TEST(TransferEngine, MoreThan1024BytesBeforeTheHandshakeMeetTheBlockRule)
{
    // The 1025th byte since the attempt began is taken as a check byte.
    const std::string text(1024, 'a');
    {
        InstrumentScript script = dataScript(makeDataLog(500));
        script.beforeSync = text + "b";
        SimulatedInstrument instrument(script);
        Transfer transfer;
        transfer.run(instrument);
        EXPECT_THAT(transfer.world.messages, ElementsAre(kChecksumError, counts(1, 0)));
        EXPECT_TRUE(transfer.world.file.empty());
    }
    {
        InstrumentScript script = dataScript(makeDataLog(500));
        script.beforeSync = text + static_cast<char>(checkByteOf(text));
        SimulatedInstrument instrument(script);
        Transfer transfer;
        transfer.run(instrument);
        EXPECT_EQ(transfer.world.file, script.data);
        EXPECT_EQ(transfer.world.sent.front(), static_cast<char>(checkByteOf(text)));
    }
}

TEST(TransferEngine, CancelIsNoticedAtTheNextTestAndKeepsWhatArrived)
{
    {
        Transfer transfer;
        transfer.engine.start();
        transfer.engine.nothingReceived();
        transfer.engine.cancel();
        EXPECT_FALSE(transfer.engine.byteReceived(0xA5));
        transfer.engine.finish();
        EXPECT_EQ(transfer.engine.state(), TransferEngine::Cancelled);
        EXPECT_THAT(transfer.world.messages, ElementsAre(counts(0, 0)));
    }
    {
        const std::string data = makeDataLog(3000);
        SimulatedInstrument instrument(dataScript(data));
        Transfer transfer;
        transfer.attach(instrument);
        transfer.engine.start();
        for (int i = 0; i < 3 + 1025 + 10; ++i)
            transfer.engine.byteReceived(*instrument.nextByte());
        transfer.engine.cancel();
        // A time-out due in the same turn does not bring the transfer back.
        transfer.clock.advance(60'000);
        EXPECT_FALSE(transfer.engine.nothingReceived());
        transfer.engine.finish();
        transfer.engine.finish();
        EXPECT_EQ(transfer.engine.state(), TransferEngine::Cancelled);
        EXPECT_EQ(transfer.world.file, data.substr(0, 1034));
        EXPECT_THAT(transfer.world.messages, ElementsAre(counts(1, 1034)));
    }
}

TEST(TransferEngine, FileFailuresEndTheTransferKeepingWhatWasWritten)
{
    {
        Transfer transfer;
        transfer.world.failRestart = true;
        transfer.engine.start();
        EXPECT_FALSE(transfer.engine.running());
        EXPECT_EQ(transfer.engine.state(), TransferEngine::Finished);
    }
    {
        SimulatedInstrument instrument(dataScript(makeDataLog(3000)));
        Transfer transfer;
        transfer.world.failWrites = true;
        transfer.run(instrument);
        EXPECT_EQ(transfer.engine.state(), TransferEngine::Finished);
        EXPECT_EQ(transfer.world.sent.size(), 3U);  // the failed block is not acknowledged
        EXPECT_THAT(transfer.world.messages, ElementsAre(counts(0, 0)));
    }
}

}  // namespace
}  // namespace logfetch
