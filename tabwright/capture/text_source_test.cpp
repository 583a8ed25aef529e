#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tabwright/capture/emulator_source.h"
#include "tabwright/capture/port_or_emulator_source.h"
#include "tabwright/capture/serial_port_source.h"

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
        if (refuseOpen)
            throw serial::PortError(serial::PortFailure::Busy, 1, "", "", "");
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

    std::string received;
    int takes = 0;
    bool refuseOpen = false;
    std::function<void(const serial::PortError&)> linkLost;

private:
    bool open_ = false;
};

TEST(SerialPortSource, PassesOpeningTakingAndTheLostLinkOn)
{
    TextPort port;
    SerialPortSource source(port);
    port.refuseOpen = true;
    EXPECT_THROW(source.open(), serial::PortError);
    port.refuseOpen = false;
    source.open();
    EXPECT_TRUE(source.isOpen());
    port.received = "abc";
    EXPECT_EQ(source.takePendingText(), "abc");

    int lost = 0;
    source.setLinkLostHandler([&] { ++lost; });
    port.linkLost(serial::PortError(serial::PortFailure::Other, 1, "", "", ""));
    EXPECT_EQ(lost, 1);
    source.setLinkLostHandler({});
    EXPECT_FALSE(port.linkLost);
    source.close();
    EXPECT_FALSE(port.isOpen());
}

TEST(EmulatorSource, GivesTheLatestOutputOnlyWhileOpen)
{
    EmulatorSource emulator;
    emulator.leaveOutput("9999\r\n");
    EXPECT_EQ(emulator.takePendingText(), "");  // closed: the output stays for later
    emulator.open();
    emulator.leaveOutput("first\r\n");
    emulator.leaveOutput("9998\r\n");  // each output overwrites the one before
    EXPECT_EQ(emulator.takePendingText(), "9998\r\n");
    EXPECT_EQ(emulator.pendingOutput(), "");
    EXPECT_EQ(emulator.takePendingText(), "");
}

TEST(EmulatorSource, InjectSingleTabActsOnOneOutputAndClearsTheBox)
{
    EmulatorSource emulator;
    int boxCleared = 0;
    emulator.open();
    emulator.setInjectSingleTabClearedHandler([&] { ++boxCleared; });
    emulator.setInjectSingleTab(true);
    EXPECT_EQ(emulator.takePendingText(), "");  // nothing pending: the option waits for an output
    emulator.leaveOutput("9999\r\n");
    EXPECT_EQ(emulator.takePendingText(), "9999\t10000\r\n");
    EXPECT_FALSE(emulator.injectingSingleTab());
    EXPECT_EQ(boxCleared, 1);
    emulator.leaveOutput("9999\r\n");
    EXPECT_EQ(emulator.takePendingText(), "9999\r\n");
}

TEST(PortOrEmulatorSource, OpensThePortButReadsTheEmulatorWhileItIsOpen)
{
    TextPort port;
    SerialPortSource portSource(port);
    EmulatorSource emulator;
    PortOrEmulatorSource source(portSource, emulator);

    port.refuseOpen = true;
    emulator.open();
    EXPECT_THROW(source.open(), serial::PortError);  // the emulator does not stand in for a port
    port.refuseOpen = false;
    source.open();
    EXPECT_TRUE(port.isOpen());

    port.received = "port";
    emulator.leaveOutput("9999\r\n");
    EXPECT_EQ(source.takePendingText(), "9999\r\n");
    EXPECT_EQ(port.takes, 0);

    emulator.close();  // the emulator window closes during the run
    EXPECT_EQ(source.takePendingText(), "port");
    int lost = 0;
    source.setLinkLostHandler([&] { ++lost; });
    port.linkLost(serial::PortError(serial::PortFailure::Other, 1, "", "", ""));
    EXPECT_EQ(lost, 1);
    source.close();
    EXPECT_FALSE(port.isOpen());
}

}  // namespace
}  // namespace tabwright
