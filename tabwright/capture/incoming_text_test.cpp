#include "tabwright/capture/incoming_text.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tabwright/capture/single_tab.h"

namespace {

using testing::ElementsAre;
using testing::IsEmpty;

// A port whose received text the test sets; it counts the takes.
class TextPort : public serial::SerialPort {
public:
    void setPortNumber(int) override {}
    int portNumber() const override { return 1; }
    void open() override {}
    bool isOpen() const override { return true; }
    void close() override {}
    void clearBuffers() override {}
    std::string takePendingText() override
    {
        ++takes;
        return std::exchange(received, {});
    }
    int takeByte() override { return -1; }
    bool sendByte(std::uint8_t) override { return true; }
    void setBytesArrivedHandler(std::function<void()>) override {}
    void setLinkLostHandler(std::function<void(const serial::PortError&)>) override {}

    std::string received;
    int takes = 0;
};

struct RecordingStatus : tabwright::StatusLine {
    std::vector<std::int64_t> shown;
    void showBytesReceived(std::int64_t count) override { shown.push_back(count); }
};

struct Reader {
    TextPort port;
    tabwright::EmulatorHandover handover;
    struct : tabwright::TimeOfDay {
        std::int32_t millisecondsSinceMidnight() override { return 0; }
    } clock;
    tabwright::CaptureParser parser{clock};
    RecordingStatus status;

    std::string read() { return tabwright::ReadIncomingText(port, handover, parser, status); }
};

TEST(ReadIncomingText, TakesThePortTextAndCountsIt)
{
    Reader reader;
    reader.port.received = std::string("ab\0\xff", 4);
    EXPECT_EQ(reader.read(), std::string("ab\0\xff", 4));
    EXPECT_EQ(reader.read(), "");  // an empty read is neither counted nor shown
    reader.port.received = "cde";
    EXPECT_EQ(reader.read(), "cde");
    EXPECT_THAT(reader.status.shown, ElementsAre(4, 7));
    EXPECT_EQ(reader.parser.BytesReceived(), 7);
}

TEST(ReadIncomingText, WhileTheEmulatorIsOpenTakesItsOutputAndLeavesThePort)
{
    Reader reader;
    reader.handover.setEmulatorOpen(true);
    reader.port.received = "port";
    reader.handover.leaveOutput("first\r\n");
    reader.handover.leaveOutput("9999\r\n");  // each output overwrites the one before
    EXPECT_EQ(reader.read(), "9999\r\n");
    EXPECT_EQ(reader.handover.PendingEmulatorOutput(), "");
    EXPECT_EQ(reader.read(), "");
    EXPECT_EQ(reader.port.takes, 0);
    EXPECT_THAT(reader.status.shown, ElementsAre(6));
}

TEST(ReadIncomingText, InjectSingleTabActsOnOneOutputAndClearsTheBox)
{
    Reader reader;
    int boxCleared = 0;
    reader.handover.setEmulatorOpen(true);
    reader.handover.setInjectSingleTabClearedHandler([&] { ++boxCleared; });
    reader.handover.setInjectSingleTab(true);
    EXPECT_EQ(reader.read(), "");  // nothing pending: the option waits for an output
    reader.handover.leaveOutput("9999\r\n");
    EXPECT_EQ(reader.read(), "9999\t10000\r\n");
    EXPECT_FALSE(reader.handover.InjectSingleTab());
    EXPECT_EQ(boxCleared, 1);
    reader.handover.leaveOutput("9999\r\n");
    EXPECT_EQ(reader.read(), "9999\r\n");
    EXPECT_THAT(reader.status.shown, ElementsAre(12, 18));
}

TEST(InjectSingleTab, WritesTheLeadingNumberAndItsSuccessorInPlainDecimal)
{
    const struct {
        std::string output;
        std::string line;
    } cases[] = {
        {"9999\r\n", "9999\t10000\r\n"},
        {"  -2.5e1x", "-25\t-24\r\n"},
        {"+.5", "0.5\t1.5\r\n"},
        {"0 0000 :: 12-07-2026", "0\t1\r\n"},
        {"(RAW) 57", "0\t1\r\n"},
        {"1e300", "1" + std::string(300, '0') + "\t1" + std::string(300, '0') + "\r\n"},
        {"123456789012345678", "123456789012346000\t123456789012346000\r\n"},
        {"0.000001234", "0.000001234\t1.000001234\r\n"},
        {"1e999", "0\t1\r\n"},
        {"5e", "5\t6\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(tabwright::injectSingleTab(c.output), c.line) << c.output;
}

TEST(BytesReceivedText, GroupsDigitsInThousands)
{
    EXPECT_EQ(tabwright::bytesReceivedText(7), "Bytes Received: 7");
    EXPECT_EQ(tabwright::bytesReceivedText(999), "Bytes Received: 999");
    EXPECT_EQ(tabwright::bytesReceivedText(1000), "Bytes Received: 1,000");
    EXPECT_EQ(tabwright::bytesReceivedText(1234567), "Bytes Received: 1,234,567");
    EXPECT_EQ(tabwright::bytesReceivedText(3'000'000'000, "."), "Bytes Received: 3.000.000.000");
}

}  // namespace
