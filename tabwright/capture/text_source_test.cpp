#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tabwright/capture/emulator_source.h"
#include "tabwright/capture/port_or_emulator_source.h"
#include "tabwright/files/serial_port_source.h"

#include <string>
#include <vector>

namespace tabwright {
namespace {

// A port whose received text the test sets; it counts the takes and keeps its
// link-lost handler so the test can pull the cable.
class TextPort : public serial::SerialPort {
public:
    void setPortNumber(int) override {}
    int portNumber() const override { return 1; }
    void open() override
    {
        ++opens;
        if (refuseOpen)
            throw serial::PortError(serial::PortFailure::Busy, 1, "/dev/ttyUSB0", "", "");
        open_ = true;
    }
    bool isOpen() const override { return open_; }
    void close() override { open_ = false; }
    void clearBuffers() override {}
    std::string takePendingText() override
    {
        ++takes;
        return std::exchange(received, {});
    }
    int takeByte() override { return -1; }
    bool sendByte(std::uint8_t) override { return true; }
    void setBytesArrivedHandler(std::function<void()>) override {}
    void setLinkLostHandler(std::function<void(const serial::PortError&)> handler) override
    {
        linkLost = std::move(handler);
    }

    // The cable pulled: the port closes and tells its handler.
    void pullCable()
    {
        open_ = false;
        linkLost(serial::PortError(serial::PortFailure::Lost, 1, "/dev/ttyUSB0", "", ""));
    }

    std::string received;
    int takes = 0;
    int opens = 0;
    bool refuseOpen = false;
    std::function<void(const serial::PortError&)> linkLost;

private:
    bool open_ = false;
};

TEST(SerialPortSource, TurnsThePortsErrorsIntoReasonsForTheUser)
{
    TextPort port;
    SerialPortSource source(port);
    port.refuseOpen = true;
    try {
        source.open();
        ADD_FAILURE() << "a refused port opened";
    } catch (const SourceError& error) {
        EXPECT_STREQ(error.what(), "COM1 (/dev/ttyUSB0): in use by another program");
        EXPECT_EQ(error.reason(),
                  "COM1 (/dev/ttyUSB0) is in use by another program. Close that program or its "
                  "connection, then try again.");
    }
    port.refuseOpen = false;
    source.open();
    EXPECT_TRUE(source.isOpen());
    port.received = "abc";
    EXPECT_EQ(source.takePendingText(), "abc");

    std::vector<std::string> reasons;
    source.setLinkLostHandler([&](const std::string& reason) { reasons.push_back(reason); });
    port.pullCable();
    EXPECT_EQ(reasons,
              std::vector<std::string>{"The connection to COM1 (/dev/ttyUSB0) was lost: the cable or "
                                       "adapter was unplugged or the instrument was switched off. "
                                       "Reconnect it."});
    source.setLinkLostHandler({});
    EXPECT_FALSE(port.linkLost);
    source.close();
    EXPECT_FALSE(port.isOpen());
}

TEST(EmulatorSource, KeepsOnlyTheLatestOutputWhileNoRunReads)
{
    EmulatorSource emulator;
    emulator.turnOn();
    emulator.say("first\r\n");
    emulator.say("9999\r\n");                   // nobody reads: each output replaces the one before
    EXPECT_EQ(emulator.takePendingText(), "");  // closed: the output stays for the next run
    EXPECT_EQ(emulator.pendingText(), "9999\r\n");
    emulator.open();
    EXPECT_EQ(emulator.takePendingText(), "9999\r\n");
    EXPECT_EQ(emulator.pendingText(), "");
    EXPECT_EQ(emulator.takePendingText(), "");
}

TEST(EmulatorSource, QueuesEveryOutputBetweenTwoTakesWhileARunReads)
{
    EmulatorSource emulator;
    emulator.turnOn();
    emulator.open();
    for (const char* output : {"1\r\n", "2\r\n", "3\r\n"})
        emulator.say(output);
    EXPECT_EQ(emulator.takePendingText(), "1\r\n2\r\n3\r\n");
    emulator.say("4\r\n");
    EXPECT_EQ(emulator.takePendingText(), "4\r\n");
    emulator.close();  // Stop: the next output waits alone again
    emulator.say("5\r\n");
    emulator.say("6\r\n");
    EXPECT_EQ(emulator.pendingText(), "6\r\n");
}

TEST(EmulatorSource, InjectSingleTabActsOnOneOutputAndClearsTheBox)
{
    EmulatorSource emulator;
    int boxCleared = 0;
    emulator.turnOn();
    emulator.open();
    emulator.setInjectSingleTabClearedHandler([&] { ++boxCleared; });
    emulator.setInjectSingleTab(true);
    EXPECT_EQ(emulator.takePendingText(), "");  // nothing pending: the option waits for an output
    emulator.say("9999\r\n");
    EXPECT_EQ(emulator.takePendingText(), "9999\t10000\r\n");
    EXPECT_FALSE(emulator.injectingSingleTab());
    EXPECT_EQ(boxCleared, 1);
    emulator.say("9999\r\n");
    EXPECT_EQ(emulator.takePendingText(), "9999\r\n");

    // Several outputs waiting: the oldest takes the option, the others stay as they were.
    emulator.setInjectSingleTab(true);
    emulator.say("9999\r\n");
    emulator.say("9998\r\n");
    EXPECT_EQ(emulator.takePendingText(), "9999\t10000\r\n9998\r\n");
    EXPECT_EQ(boxCleared, 2);
}

TEST(EmulatorSource, TurnedOffWhileARunReadsItTellsTheRunOnceAfterItsLastWords)
{
    EmulatorSource emulator;
    std::vector<std::string> told;
    std::vector<bool> switched;
    emulator.setSwitchedHandler([&] { switched.push_back(emulator.isOn()); });
    emulator.setLinkLostHandler([&](const std::string& reason) {
        // The run takes what came before the loss while it is told.
        told.push_back(emulator.takePendingText() + "|" + reason);
    });
    emulator.turnOn();
    emulator.turnOff();  // no run reads it: nobody is told
    EXPECT_TRUE(told.empty());
    emulator.turnOn();
    emulator.open();
    emulator.say("last\r\n");
    emulator.turnOff();
    emulator.turnOff();
    EXPECT_EQ(told, std::vector<std::string>{std::string("last\r\n|") + kEmulatorClosedReason});
    EXPECT_EQ(switched, (std::vector<bool>{true, false, true, false}));
}

// The main window's source over a port and the emulator.
struct PortOrEmulator : testing::Test {
    TextPort port;
    SerialPortSource portSource{port};
    EmulatorSource emulator;
    PortOrEmulatorSource source{portSource, emulator};
    std::vector<std::string> lost;

    PortOrEmulator()
    {
        source.setLinkLostHandler([this](const std::string& reason) { lost.push_back(reason); });
    }
};

TEST_F(PortOrEmulator, WithTheEmulatorOnOpensNoPortAtAll)
{
    port.refuseOpen = true;  // as on a PC without serial ports, or a user outside dialout
    emulator.turnOn();
    EXPECT_TRUE(source.emulatorFeeds());
    source.open();
    EXPECT_EQ(port.opens, 0);
    EXPECT_TRUE(source.isOpen());
    emulator.say("9999\r\n");
    emulator.say("9998\r\n");
    EXPECT_EQ(source.takePendingText(), "9999\r\n9998\r\n");

    // Closing the emulator ends what fed the run: the run is told why.
    emulator.turnOff();
    EXPECT_EQ(lost, std::vector<std::string>{kEmulatorClosedReason});
    EXPECT_FALSE(source.isOpen());
    // Resume without the emulator tries the port, which tells its own reason.
    EXPECT_THROW(source.open(), SourceError);
    emulator.turnOn();
    source.open();  // Resume with the emulator open again
    EXPECT_EQ(port.opens, 1);
    emulator.say("9997\r\n");
    EXPECT_EQ(source.takePendingText(), "9997\r\n");
}

TEST_F(PortOrEmulator, APortThatIsOpenStaysTheSourceWhenTheEmulatorCloses)
{
    EXPECT_FALSE(source.emulatorFeeds());
    source.open();
    EXPECT_TRUE(port.isOpen());

    emulator.turnOn();  // the emulator window opens during the run
    port.received = "port";
    emulator.say("9999\r\n");
    emulator.say("9998\r\n");
    EXPECT_EQ(source.takePendingText(), "9999\r\n9998\r\n");
    EXPECT_EQ(port.takes, 0);

    emulator.turnOff();
    EXPECT_TRUE(lost.empty());
    EXPECT_EQ(source.takePendingText(), "port");
    port.pullCable();
    ASSERT_EQ(lost.size(), 1u);
    EXPECT_THAT(lost[0], testing::StartsWith("The connection to COM1 (/dev/ttyUSB0) was lost"));
    source.close();
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(emulator.isOpen());
}

TEST_F(PortOrEmulator, AnOutputLeftWhileTheEmulatorWasClosedWaitsForItToOpenAgain)
{
    emulator.turnOn();
    emulator.say("old\r\n");  // said before any run
    emulator.turnOff();
    source.open();
    port.received = "port";
    EXPECT_EQ(source.takePendingText(), "port");
    emulator.turnOn();
    emulator.say("new\r\n");
    EXPECT_EQ(source.takePendingText(), "old\r\nnew\r\n");
}

}  // namespace
}  // namespace tabwright
