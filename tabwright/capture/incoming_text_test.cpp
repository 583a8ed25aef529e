#include "tabwright/capture/incoming_text.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tabwright/capture/single_tab.h"

namespace {

using testing::ElementsAre;

// A source whose pending text the test sets.
class TextOnly : public tabwright::TextSource {
public:
    void open() override {}
    bool isOpen() const override { return true; }
    void close() override {}
    std::string takePendingText() override { return std::exchange(received, {}); }
    void setLinkLostHandler(std::function<void(const std::string&)>) override {}

    std::string received;
};

struct RecordingStatus : tabwright::StatusLine {
    std::vector<std::int64_t> shown;
    void showBytesReceived(std::int64_t count) override { shown.push_back(count); }
};

TEST(ReadIncomingText, TakesTheSourcesTextAndCountsIt)
{
    TextOnly source;
    struct : tabwright::TimeOfDay {
        std::int32_t millisecondsSinceMidnight() override { return 0; }
    } clock;
    tabwright::CaptureParser parser{clock};
    RecordingStatus status;
    const auto read = [&] { return tabwright::ReadIncomingText(source, parser, status); };

    source.received = std::string("ab\0\xff", 4);
    EXPECT_EQ(read(), std::string("ab\0\xff", 4));
    EXPECT_EQ(read(), "");  // an empty read is neither counted nor shown
    source.received = "cde";
    EXPECT_EQ(read(), "cde");
    EXPECT_THAT(status.shown, ElementsAre(4, 7));
    EXPECT_EQ(parser.BytesReceived(), 7);
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
