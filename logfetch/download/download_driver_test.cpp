#include "logfetch/download/download_driver.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "logfetch/testing/bin_builder.h"
#include "logfetch/testing/pty_download.h"
#include "logfetch/testing/pty_instrument_runner.h"
#include "logfetch/testing/simulated_instrument.h"
#include "testing/event_loop.h"
#include "testing/scripted_prompter.h"
#include "testing/temp_folder.h"

namespace logfetch {
namespace {

using namespace std::chrono_literals;
using testing::ElementsAre;
using testing::HasSubstr;
using testing_support::InstrumentScript;
using testing_support::makeDataLog;
using testing_support::PtyInstrumentRunner;

constexpr int kPort = 4;
constexpr char kCommunicationError[] = "Communication Error.  Please restart the download";
constexpr char kChecksumError[] = "serial port checksum error";

std::string counts(int blocks, std::size_t bytes)
{
    return "Download Finished. Number of Blocks = " + std::to_string(blocks) +
           ". Number of Bytes = " + std::to_string(bytes);
}

InstrumentScript dataScript(std::string data)
{
    InstrumentScript script;
    script.data = std::move(data);
    return script;
}

// Message boxes that keep the event loop running while they are open, as
// modal boxes do; tells when one opens while another is still open.
class NestingPrompter : public common::Prompter {
public:
    void showMessage(std::string_view text) override
    {
        messages.emplace_back(text);
        ++open_;
        deepest = std::max(deepest, open_);
        if (whileOpen)
            whileOpen();
        testing_support::runEventsFor(300ms);  // the user reads it
        --open_;
    }
    std::vector<std::string> messages;
    int deepest = 0;
    std::function<void()> whileOpen;

private:
    int open_ = 0;
};

// A download over a real pseudo-terminal: the simulated instrument on one
// end, the port service and the driver on the other. Time-outs come from the
// injected clock; the driver's own timer brings the turns that find nothing.
class DownloadOverPty : public testing::Test {
protected:
    void open(common::Prompter& messageBoxes, const std::string& tempFile)
    {
        line.makeDriver(messageBoxes, tempFile);
    }
    void start(PtyInstrumentRunner::Pace pace = PtyInstrumentRunner::Pace::AsFastAsPossible)
    {
        if (!driver)
            open(prompter, folder.file(kTempFileName));
        runner.emplace(pty, pace);
        driver->start();
    }
    bool runUntilFinished(std::chrono::milliseconds timeout = 60s)
    {
        return testing_support::runEventsUntil([this] { return line.finished; }, timeout);
    }
    // Until the instrument has sent `count` bytes and the system has passed
    // them all to the port, then a little longer for the driver to take them.
    bool runUntilTaken(std::size_t count)
    {
        const bool sent = testing_support::runEventsUntil(
            [&] { return runner->bytesSent() == count && pty.waitingForProgram() == 0; });
        testing_support::runEventsFor(100ms);
        return sent;
    }
    std::string tempFile() const { return testing_support::readFile(folder.file(kTempFileName)); }

    testing_support::TempFolder folder;
    testing_support::ScriptedPrompter prompter;
    testing_support::PtyDownload line{kPort};
    testing_support::PtyInstrument& pty = line.pty;
    serial::QtSerialPort& port = line.port;
    testing_support::RecordingDownloadView& view = line.view;
    testing_support::FakeClock& clock = line.clock;
    std::optional<DownloadDriver>& driver = line.driver;
    std::optional<PtyInstrumentRunner> runner;  // last: it stops before the line goes
};

TEST_F(DownloadOverPty, WholeDownloadAfterTextLines)
{
    InstrumentScript script = dataScript(makeDataLog(3 * 1024 + 500));
    script.textLines = {"K7RX DATA LOGGER", "", "Sending 3572 bytes"};
    start();
    runner->play(script);
    ASSERT_TRUE(runUntilFinished());

    EXPECT_EQ(driver->state(), TransferEngine::Finished);
    EXPECT_EQ(tempFile(), script.data);
    EXPECT_THAT(prompter.messages, ElementsAre(counts(4, 3572)));
    EXPECT_EQ(view.status, counts(4, 3572));
    EXPECT_EQ(view.instructions, "Please wait for download to complete or press cancel to stop.");
    EXPECT_THAT(view.textLines, ElementsAre("K7RX DATA LOGGER", "Sending 3572 bytes"));
    EXPECT_TRUE(runner->waitUntilDone(5s)) << testing::PrintToString(runner->faults());
    EXPECT_FALSE(port.isOpen());
}

TEST_F(DownloadOverPty, PacedAtLineSpeed)
{
    const std::string data = makeDataLog(1024 + 100);
    start(PtyInstrumentRunner::Pace::LineSpeed);
    const auto began = std::chrono::steady_clock::now();
    runner->play(dataScript(data));
    ASSERT_TRUE(runUntilFinished());
    const auto took = std::chrono::steady_clock::now() - began;
    EXPECT_EQ(tempFile(), data);
    // 3 sync bytes, the data and two check bytes at 960 bytes a second.
    EXPECT_GE(took, std::chrono::microseconds((3 + data.size() + 2) * 1'000'000 / 960) * 95 / 100);
}

TEST_F(DownloadOverPty, WrongSyncIsRecoveredByTheTimeOutAndAFreshAttempt)
{
    InstrumentScript wrong = dataScript(makeDataLog(1500));
    wrong.sync = "\xA5\x69\x3C";
    start();
    runner->play(wrong);
    ASSERT_TRUE(runUntilTaken(3));
    clock.advance(4000);
    testing_support::runEventsFor(300ms);
    EXPECT_EQ(view.instructions, "Have the instrument start downloading");
    clock.advance(1100);
    ASSERT_TRUE(testing_support::runEventsUntil([&] { return view.instructions == kCommunicationError; }));

    const std::string data = makeDataLog(2500);
    runner->play(dataScript(data));
    ASSERT_TRUE(runUntilFinished());
    EXPECT_EQ(tempFile(), data);
    EXPECT_THAT(prompter.messages, ElementsAre(counts(3, 2500)));
}

TEST_F(DownloadOverPty, BadCheckByteEndsTheTransferWithTheBlocksReceived)
{
    const std::string data = makeDataLog(5000);
    InstrumentScript script = dataScript(data);
    script.badCheckByteBlock = 3;
    start();
    runner->play(script);
    ASSERT_TRUE(runUntilFinished());
    EXPECT_EQ(driver->state(), TransferEngine::Finished);
    EXPECT_THAT(prompter.messages, ElementsAre(kChecksumError, counts(3, 3072)));
    EXPECT_EQ(tempFile(), data.substr(0, 3072));
}

class EndMarkerPlacement : public DownloadOverPty, public testing::WithParamInterface<std::size_t> {};

TEST_P(EndMarkerPlacement, TheWholeLogArrives)
{
    const std::string data = makeDataLog(GetParam());
    start();
    runner->play(dataScript(data));
    ASSERT_TRUE(runUntilFinished());
    EXPECT_EQ(tempFile(), data);
    EXPECT_THAT(prompter.messages, ElementsAre(counts(2, data.size())));
    EXPECT_TRUE(runner->waitUntilDone(5s)) << testing::PrintToString(runner->faults());
}

// Straddling the check byte between two blocks; ending on a block's 1024th
// byte, where the closing byte comes as that block's check byte.
INSTANTIATE_TEST_SUITE_P(Straddling, EndMarkerPlacement, testing::Values(1024 + 3));
INSTANTIATE_TEST_SUITE_P(OnTheLastByteOfABlock, EndMarkerPlacement, testing::Values(2 * 1024));

TEST_F(DownloadOverPty, MissingClosingByteStillSavesTheLog)
{
    const std::string data = makeDataLog(1800);
    InstrumentScript script = dataScript(data);
    script.closingByte = false;
    start();
    runner->play(script);
    ASSERT_TRUE(runUntilTaken(3 + 1025 + 776));
    EXPECT_FALSE(line.finished);
    clock.advance(5600);
    ASSERT_TRUE(runUntilFinished());
    EXPECT_EQ(driver->state(), TransferEngine::Finished);
    EXPECT_EQ(tempFile(), data);
    EXPECT_THAT(prompter.messages, ElementsAre(counts(2, 1800)));
}

TEST_F(DownloadOverPty, MoreThan1024BytesBeforeTheHandshakeMeetTheBlockRule)
{
    InstrumentScript script = dataScript(makeDataLog(500));
    script.beforeSync = std::string(1100, 'x');
    start();
    runner->play(script);
    ASSERT_TRUE(runUntilFinished());
    EXPECT_THAT(prompter.messages, ElementsAre(kChecksumError, counts(1, 0)));
    EXPECT_EQ(tempFile(), "");
}

TEST_F(DownloadOverPty, CancelBeforeTheInstrumentStartsReportsNothingReceived)
{
    start();
    testing_support::runEventsFor(250ms);
    EXPECT_EQ(view.instructions, "Have the instrument start downloading");
    driver->cancel();
    ASSERT_TRUE(runUntilFinished());
    EXPECT_EQ(driver->state(), TransferEngine::Cancelled);
    EXPECT_THAT(prompter.messages, ElementsAre(counts(0, 0)));
    EXPECT_EQ(tempFile(), "");
    EXPECT_FALSE(port.isOpen());
}

TEST_F(DownloadOverPty, CancelWhileReceivingKeepsWhatArrived)
{
    const std::string data = makeDataLog(6000);
    InstrumentScript script = dataScript(data);
    script.silentAfter = 3 + 2 * 1025 + 10;
    start();
    runner->play(script);
    ASSERT_TRUE(runUntilTaken(*script.silentAfter));
    driver->cancel();
    ASSERT_TRUE(runUntilFinished());
    EXPECT_EQ(driver->state(), TransferEngine::Cancelled);
    EXPECT_EQ(tempFile(), data.substr(0, 2 * 1024 + 10));
    EXPECT_THAT(prompter.messages, ElementsAre(counts(2, 2 * 1024 + 10)));
}

TEST_F(DownloadOverPty, NoByteIsTakenWhileAMessageBoxIsOpen)
{
    NestingPrompter boxes;
    open(boxes, folder.file(kTempFileName));
    InstrumentScript script = dataScript(makeDataLog(3000));
    script.badCheckByteBlock = 1;
    start();
    runner->play(script);
    // While the checksum message is open the instrument goes on sending.
    boxes.whileOpen = [&] {
        boxes.whileOpen = nullptr;
        runner.reset();
        pty.send(std::string(50, 'z'));
    };
    ASSERT_TRUE(runUntilFinished());
    EXPECT_THAT(boxes.messages, ElementsAre(kChecksumError, counts(1, 1024)));
    EXPECT_EQ(boxes.deepest, 1);
    EXPECT_EQ(tempFile().size(), 1024U);
}

TEST_F(DownloadOverPty, PulledCableEndsTheTransferWithWhatArrived)
{
    const std::string data = makeDataLog(4000);
    InstrumentScript script = dataScript(data);
    script.silentAfter = 3 + 1025 + 100;
    start();
    runner->play(script);
    ASSERT_TRUE(runUntilTaken(*script.silentAfter));
    runner.reset();
    pty.pullCable();
    ASSERT_TRUE(runUntilFinished());
    EXPECT_EQ(driver->state(), TransferEngine::Finished);
    ASSERT_EQ(prompter.messages.size(), 2U);
    EXPECT_THAT(prompter.messages[0], HasSubstr("was lost"));
    EXPECT_EQ(prompter.messages[1], counts(1, 1124));
    EXPECT_EQ(tempFile(), data.substr(0, 1124));
}

TEST_F(DownloadOverPty, TemporaryFileThatCannotBeCreatedIsTold)
{
    NestingPrompter boxes;
    open(boxes, folder.file("missing/" + std::string(kTempFileName)));
    // The instrument starts while the message is open; nothing is taken.
    boxes.whileOpen = [&] {
        boxes.whileOpen = nullptr;
        pty.send("\xA5\x3C\x69");
    };
    driver->start();
    ASSERT_TRUE(runUntilFinished());
    EXPECT_EQ(driver->state(), TransferEngine::Finished);
    ASSERT_EQ(boxes.messages.size(), 2U);
    EXPECT_THAT(boxes.messages[0], HasSubstr("Cannot create the download file " + folder.file("missing/")));
    EXPECT_EQ(boxes.messages[1], counts(0, 0));
    EXPECT_EQ(pty.receive(3, 200ms), "");
}

TEST_F(DownloadOverPty, FullDiskEndsTheTransferAndIsTold)
{
    open(prompter, "/dev/full");
    start();
    runner->play(dataScript(makeDataLog(3000)));
    ASSERT_TRUE(runUntilFinished());
    EXPECT_EQ(driver->state(), TransferEngine::Finished);
    ASSERT_EQ(prompter.messages.size(), 2U);
    EXPECT_THAT(prompter.messages[0], HasSubstr("Cannot write the download file /dev/full: "));
    EXPECT_EQ(prompter.messages[1], counts(0, 0));
    EXPECT_EQ(runner->receivedFromPc(), "\xA5\x3C\x69");  // the unsaved block is not acknowledged
}

}  // namespace
}  // namespace logfetch
