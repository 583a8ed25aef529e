#include "serial/background_read_port.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "testing/event_loop.h"
#include "testing/port_mapping.h"
#include "testing/pty_instrument.h"

namespace serial {
namespace {

using namespace std::chrono_literals;
using testing_support::runEventsFor;
using testing_support::runEventsUntil;

constexpr int kInstrumentPort = 3;

class BackgroundReadPortTest : public ::testing::Test {
protected:
    BackgroundReadPortTest()
    {
        mapping.map(kInstrumentPort, instrument.devicePath());
        port.setPortNumber(kInstrumentPort);
    }

    // The reading thread's event loop needs the application first.
    bool application = (testing_support::ensureCoreApplication(), true);
    testing_support::TemporaryPortMapping mapping;
    testing_support::PtyInstrument instrument;
    BackgroundReadPort port{100};
};

std::string numberedBytes(std::size_t count)
{
    std::string bytes(count, '\0');
    for (std::size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<char>(i % 251);
    return bytes;
}

// The owner's thread does not take and runs no event loop, as while it writes a long slice
// of rows: the device is read all the same, up to the bound, and then waits; taken later,
// every byte is there in order.
TEST_F(BackgroundReadPortTest, ReadsWhileTheOwnerIsBusyUpToItsBoundAndLosesNothing)
{
    port.open();
    const std::string burst = numberedBytes(5 * BackgroundReadPort::kWaitingBytes);
    std::size_t sent = 0;
    int stillPasses = 0;
    std::size_t waiting = 0;
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    // The line stands still once nothing more goes in and nothing is read for 200 passes.
    while (sent < burst.size() && stillPasses < 200 && std::chrono::steady_clock::now() < deadline) {
        const std::size_t went = instrument.trySend(std::string_view(burst).substr(sent));
        sent += went;
        const std::size_t nowWaiting = instrument.waitingForProgram();
        stillPasses = went == 0 && nowWaiting == waiting ? stillPasses + 1 : 0;
        waiting = nowWaiting;
        std::this_thread::sleep_for(1ms);
    }
    // Far beyond what the line itself holds, short of the whole burst.
    EXPECT_GE(sent, BackgroundReadPort::kWaitingBytes);
    EXPECT_LT(sent, burst.size());

    std::string text;
    ASSERT_TRUE(runEventsUntil([&] {
        sent += instrument.trySend(std::string_view(burst).substr(sent));
        text += port.takePendingText();
        return text.size() >= burst.size();
    }));
    EXPECT_TRUE(text == burst);
}

TEST_F(BackgroundReadPortTest, TellsOnceEnoughWaitsAndNotAgainBeforeTheNextTake)
{
    int notices = 0;
    port.setBytesArrivedHandler([&] { ++notices; });
    port.open();
    instrument.send(std::string(60, 'a'));
    runEventsFor(200ms);
    EXPECT_EQ(notices, 0);
    instrument.send(std::string(60, 'b'));
    ASSERT_TRUE(runEventsUntil([&] { return notices > 0; }));
    instrument.send(std::string(200, 'c'));
    runEventsFor(200ms);
    EXPECT_EQ(notices, 1);

    std::string text = port.takePendingText();
    instrument.send(std::string(100, 'd'));
    ASSERT_TRUE(runEventsUntil([&] { return notices == 2; }));
    text += port.takePendingText();
    EXPECT_EQ(text, std::string(60, 'a') + std::string(60, 'b') + std::string(200, 'c') + std::string(100, 'd'));
}

TEST_F(BackgroundReadPortTest, EveryByteValuePassesBothWaysByteByByte)
{
    port.open();
    const std::string all = numberedBytes(256) + std::string(1, '\xFF') + std::string(1, '\xFE');
    instrument.send(all);
    std::string taken;
    ASSERT_TRUE(runEventsUntil([&] {
        for (int byte = port.takeByte(); byte >= 0; byte = port.takeByte())
            taken.push_back(static_cast<char>(byte));
        return taken.size() >= all.size();
    }));
    EXPECT_EQ(taken, all);
    for (const char c : all)
        ASSERT_TRUE(port.sendByte(static_cast<std::uint8_t>(c)));
    EXPECT_EQ(instrument.receive(all.size(), 2s), all);
}

// The port's errors are thrown on the owner's thread as the port gave them.
TEST_F(BackgroundReadPortTest, OpenFailuresComeBackToTheCaller)
{
    port.open();
    try {
        port.open();
        ADD_FAILURE() << "opened twice";
    } catch (const PortError& error) {
        EXPECT_EQ(error.kind(), PortFailure::AlreadyOpen);
    }
    EXPECT_TRUE(port.isOpen());
    port.close();
    mapping.map(4, "/dev/no-such-serial-device");
    port.setPortNumber(4);
    try {
        port.open();
        ADD_FAILURE() << "opened a missing device";
    } catch (const PortError& error) {
        EXPECT_EQ(error.kind(), PortFailure::NoSuchDevice);
        EXPECT_FALSE(error.hint().empty());
    }
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.portNumber(), 4);
}

TEST_F(BackgroundReadPortTest, APulledCableIsToldOnceAfterWhatCameBeforeIsTakeable)
{
    int lostReports = 0;
    std::string takenWhenTold;
    port.setLinkLostHandler([&](const PortError& error) {
        ++lostReports;
        EXPECT_EQ(error.kind(), PortFailure::Lost);
        takenWhenTold = port.takePendingText();
    });
    bool arrived = false;
    port.setBytesArrivedHandler([&] { arrived = true; });
    port.open();
    const std::string sent = numberedBytes(150);
    instrument.send(sent);
    // Read by the port's own thread, with nobody taking.
    ASSERT_TRUE(runEventsUntil([&] { return arrived; }));
    instrument.pullCable();
    ASSERT_TRUE(runEventsUntil([&] { return lostReports > 0; }));
    runEventsFor(200ms);
    EXPECT_EQ(lostReports, 1);
    EXPECT_EQ(takenWhenTold, sent);
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(port.sendByte(0x06));
}

}  // namespace
}  // namespace serial
