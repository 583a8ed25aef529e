#include "serial/qt_serial_port.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "testing/event_loop.h"
#include "testing/port_mapping.h"
#include "testing/pty_instrument.h"

namespace serial {
namespace {

using namespace std::chrono_literals;
using testing_support::runEventsFor;
using testing_support::runEventsUntil;

constexpr int kInstrumentPort = 3;

std::string allByteValues()
{
    std::string bytes;
    for (int value = 0; value < 256; ++value)
        bytes.push_back(static_cast<char>(value));
    return bytes;
}

class QtSerialPortTest : public ::testing::Test {
protected:
    QtSerialPortTest()
    {
        testing_support::ensureCoreApplication();
        mapping.map(kInstrumentPort, instrument.devicePath());
        port.setPortNumber(kInstrumentPort);
    }

    // Takes bytes one at a time until count came or the time is up.
    std::string takeBytes(std::size_t count)
    {
        std::string taken;
        runEventsUntil([&] {
            for (int byte = port.takeByte(); byte >= 0; byte = port.takeByte())
                taken.push_back(static_cast<char>(byte));
            return taken.size() >= count;
        });
        return taken;
    }

    PortFailure openFailure(QtSerialPort& p)
    {
        try {
            p.open();
        } catch (const PortError& error) {
            EXPECT_FALSE(p.isOpen());
            EXPECT_FALSE(error.hint().empty());
            return error.kind();
        }
        ADD_FAILURE() << "open succeeded";
        return PortFailure::Other;
    }

    testing_support::TemporaryPortMapping mapping;
    testing_support::PtyInstrument instrument;
    QtSerialPort port;
};

TEST_F(QtSerialPortTest, TextFromTheInstrumentArrivesWhole)
{
    port.open();
    ASSERT_TRUE(port.isOpen());
    instrument.send("Index:: 0001\r\n12.5\t20.1\r\n");

    std::string text;
    runEventsUntil([&] {
        text += port.takePendingText();
        return text.size() >= 25;
    });
    EXPECT_EQ(text, "Index:: 0001\r\n12.5\t20.1\r\n");
    EXPECT_EQ(port.takePendingText(), "");
}

TEST_F(QtSerialPortTest, AllByteValuesPassBothWays)
{
    port.open();
    instrument.send(allByteValues());
    EXPECT_EQ(takeBytes(256), allByteValues());

    for (int value = 0; value < 256; ++value)
        ASSERT_TRUE(port.sendByte(static_cast<std::uint8_t>(value)));
    // No event loop turn in between: each byte is on the line when sendByte returns.
    EXPECT_EQ(instrument.receive(256, 2s), allByteValues());
}

TEST_F(QtSerialPortTest, TakingNeverWaits)
{
    EXPECT_EQ(port.takeByte(), -1);  // closed
    EXPECT_EQ(port.takePendingText(), "");
    port.open();
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(port.takeByte(), -1);
        EXPECT_EQ(port.takePendingText(), "");
    }
    // A wait of even a few milliseconds per call would add up to seconds.
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
}

TEST_F(QtSerialPortTest, BytesKeptWithoutLimitWhileNobodyReads)
{
    port.open();
    const std::string burst(200000, 'x');  // far beyond any fixed inbound buffer
    // The event loop runs (a paused capture) but nothing is taken; the
    // system's own buffer is much smaller, so the port must keep the rest.
    for (std::size_t sent = 0; sent < burst.size();) {
        sent += instrument.trySend(std::string_view(burst).substr(sent));
        ASSERT_TRUE(runEventsUntil([&] { return instrument.waitingForProgram() == 0; }));
    }
    std::string text;
    runEventsUntil([&] {
        text += port.takePendingText();
        return text.size() >= burst.size();
    });
    EXPECT_EQ(text.size(), burst.size());
}

TEST_F(QtSerialPortTest, AFasterDeviceWaitsForTheTakerAndLosesNothing)
{
    port.open();
    constexpr auto bound = static_cast<std::size_t>(QtSerialPort::kReadBufferBytes);
    std::string burst(3 * bound, '\0');
    for (std::size_t i = 0; i < burst.size(); ++i)
        burst[i] = static_cast<char>('a' + i % 23);
    // Nothing is taken while the event loop runs: the port reads up to its bound, then
    // leaves the rest to the line, whose sender must wait. A port without a bound takes it all.
    std::size_t sent = 0;
    int stillPasses = 0;
    std::size_t waiting = 0;
    ASSERT_TRUE(runEventsUntil([&] {
        const std::size_t went = instrument.trySend(std::string_view(burst).substr(sent));
        sent += went;
        const std::size_t nowWaiting = instrument.waitingForProgram();
        stillPasses = went == 0 && nowWaiting > 0 && nowWaiting == waiting ? stillPasses + 1 : 0;
        waiting = nowWaiting;
        return sent == burst.size() || stillPasses >= 20;
    }));
    EXPECT_LT(sent, burst.size());
    EXPECT_GE(sent, bound);

    std::string text;
    std::size_t largestTake = 0;
    ASSERT_TRUE(runEventsUntil([&] {
        sent += instrument.trySend(std::string_view(burst).substr(sent));
        const std::string taken = port.takePendingText();
        largestTake = std::max(largestTake, taken.size());
        text += taken;
        return text.size() >= burst.size();
    }));
    EXPECT_TRUE(text == burst);
    EXPECT_LE(largestTake, bound);
}

TEST_F(QtSerialPortTest, ClosingTwiceAndNumberChangesFollowTheOpenState)
{
    port.close();  // closed already: harmless
    port.open();
    try {
        port.setPortNumber(5);
        ADD_FAILURE() << "number changed while open";
    } catch (const PortError& error) {
        EXPECT_EQ(error.kind(), PortFailure::AlreadyOpen);
    }
    EXPECT_EQ(port.portNumber(), kInstrumentPort);
    try {
        port.open();
        ADD_FAILURE() << "opened twice";
    } catch (const PortError& error) {
        EXPECT_EQ(error.kind(), PortFailure::AlreadyOpen);
    }
    EXPECT_TRUE(port.isOpen());  // the first open stands
    port.close();
    port.close();
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(port.sendByte(0x41));
    port.setPortNumber(5);
    EXPECT_EQ(port.portNumber(), 5);
}

TEST_F(QtSerialPortTest, ClearBuffersDropsWhatCameBeforeAndNeedsAnOpenPort)
{
    try {
        port.clearBuffers();
        ADD_FAILURE() << "cleared a closed port";
    } catch (const PortError& error) {
        EXPECT_EQ(error.kind(), PortFailure::NotOpen);
    }
    port.open();
    instrument.send("stale");
    ASSERT_TRUE(instrument.waitUntilWaitingForProgram(5, 2s));
    port.clearBuffers();
    instrument.send("Z");
    EXPECT_EQ(takeBytes(1), "Z");
}

TEST_F(QtSerialPortTest, MissingDevicesAreNoSuchDevice)
{
    mapping.map(4, "/dev/no-such-serial-device");
    port.setPortNumber(4);
    EXPECT_EQ(openFailure(port), PortFailure::NoSuchDevice);
    port.setPortNumber(16);  // nothing behind it (no mapping, far beyond the devices present)
    EXPECT_EQ(openFailure(port), PortFailure::NoSuchDevice);
}

TEST_F(QtSerialPortTest, SecondOpenOfTheSameDeviceIsBusyAlsoThroughALink)
{
    port.open();
    const std::filesystem::path link = std::filesystem::path(mapping.configFolder()) / "instrument-link";
    std::filesystem::create_symlink(instrument.devicePath(), link);
    mapping.map(6, link.string());

    QtSerialPort second;
    second.setPortNumber(kInstrumentPort);
    EXPECT_EQ(openFailure(second), PortFailure::Busy);
    second.setPortNumber(6);
    EXPECT_EQ(openFailure(second), PortFailure::Busy);

    instrument.send("still mine");
    EXPECT_EQ(takeBytes(10), "still mine");
    port.close();
    second.open();  // free again once closed
    EXPECT_TRUE(second.isOpen());
}

// Opens COM3 as an unprivileged user when the tests run as root, since root
// may open any device.
PortFailure openWithoutPermission(QtSerialPort& port, const std::string& device,
                                  const std::string& configFolder)
{
    // Owner-only is enough against another user; against ourselves, no rights at all.
    if (::chmod(device.c_str(), ::geteuid() == 0 ? 0600 : 0) != 0)
        return PortFailure::Other;
    if (::geteuid() != 0) {
        try {
            port.open();
        } catch (const PortError& error) {
            EXPECT_NE(error.hint().find("dialout"), std::string::npos) << error.hint();
            return error.kind();
        }
        return PortFailure::Other;
    }
    std::filesystem::permissions(configFolder, std::filesystem::perms::all);
    const pid_t child = ::fork();
    if (child == 0) {
        int status = 100;
        if (::setgid(65534) == 0 && ::setuid(65534) == 0) {
            try {
                port.open();
                status = 101;
            } catch (const PortError& error) {
                status = static_cast<int>(error.kind());
                if (error.hint().find("dialout") == std::string::npos)
                    status = 102;
            }
        }
        ::_exit(status);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) < 100 ? static_cast<PortFailure>(WEXITSTATUS(status))
                                                          : PortFailure::Other;
}

TEST_F(QtSerialPortTest, DeviceTheUserMayNotOpenIsPermissionDeniedWithTheGroupHint)
{
    EXPECT_EQ(openWithoutPermission(port, instrument.devicePath(), mapping.configFolder()),
              PortFailure::PermissionDenied);
}

TEST_F(QtSerialPortTest, PulledCableClosesOnceReportsOnceAndKeepsWhatCame)
{
    int lostReports = 0;
    int arrivals = 0;
    port.setLinkLostHandler([&](const PortError& error) {
        ++lostReports;
        EXPECT_EQ(error.kind(), PortFailure::Lost);
        EXPECT_EQ(error.device(), instrument.devicePath());
    });
    port.setBytesArrivedHandler([&] { ++arrivals; });
    port.open();
    instrument.send("ABCDEF");
    ASSERT_TRUE(instrument.waitUntilWaitingForProgram(6, 2s));
    EXPECT_EQ(port.takeByte(), 'A');  // the rest is now held by the port

    instrument.pullCable();
    ASSERT_TRUE(runEventsUntil([&] { return lostReports > 0; }));
    EXPECT_FALSE(port.isOpen());
    runEventsFor(300ms);  // a spinning port would report or notify again here
    EXPECT_EQ(lostReports, 1);
    EXPECT_EQ(arrivals, 0);

    EXPECT_EQ(port.takePendingText(), "BCDEF");
    EXPECT_EQ(port.takeByte(), -1);
    EXPECT_FALSE(port.sendByte(0x06));
    port.close();  // the caller's own close afterwards is harmless
}

TEST_F(QtSerialPortTest, PulledCableFoundWhileTakingWithoutEventLoop)
{
    int lostReports = 0;
    port.setLinkLostHandler([&](const PortError&) { ++lostReports; });
    port.open();
    instrument.pullCable();
    for (int i = 0; i < 100 && port.isOpen(); ++i)
        EXPECT_EQ(port.takeByte(), -1);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(lostReports, 0);  // told from the event loop, not from inside takeByte
    runEventsFor(100ms);
    EXPECT_EQ(lostReports, 1);
}

TEST_F(QtSerialPortTest, PulledCableFoundWhileSending)
{
    int lostReports = 0;
    port.setLinkLostHandler([&](const PortError&) { ++lostReports; });
    port.open();
    instrument.pullCable();
    EXPECT_FALSE(port.sendByte(0x06));
    EXPECT_FALSE(port.isOpen());
    runEventsFor(100ms);
    EXPECT_EQ(lostReports, 1);
}

TEST_F(QtSerialPortTest, ArrivalHandlerRunsFromTheEventLoopAndIsNeverReentered)
{
    std::string taken;
    int depth = 0;
    int deepest = 0;
    port.setBytesArrivedHandler([&] {
        deepest = std::max(deepest, ++depth);
        for (int byte = port.takeByte(); byte >= 0; byte = port.takeByte())
            taken.push_back(static_cast<char>(byte));
        --depth;
    });
    port.open();
    for (char c : std::string("0123456789")) {
        instrument.send(std::string(1, c));
        runEventsFor(5ms);
    }
    EXPECT_TRUE(runEventsUntil([&] { return taken.size() >= 10; }));
    EXPECT_EQ(taken, "0123456789");
    EXPECT_EQ(deepest, 1);

    // Polling alone never calls the handler.
    port.setBytesArrivedHandler([&] { ADD_FAILURE() << "handler called from takeByte"; });
    instrument.send("X");
    ASSERT_TRUE(instrument.waitUntilWaitingForProgram(1, 2s));
    EXPECT_EQ(port.takeByte(), 'X');
}

}  // namespace
}  // namespace serial
