#include "tabwright/capture/incoming_text.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tabwright/capture/single_tab.h"

namespace {

TEST(InjectSingleTab, WritesTheLeadingNumberAndItsSuccessorInPlainDecimal)
{
    const struct {
        std::string output;
        std::string line;
    } cases[] = {
        {"9999\r\n", "9999\t10000\r\n"},
        {"-7", "-7\t-6\r\n"},
        {"999999999999998", "999999999999998\t999999999999999\r\n"},
        {"-1000000000000001", "-1000000000000000\t-1000000000000000\r\n"},
        {"4503599627370497.0", "4503599627370500\t4503599627370500\r\n"},
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
