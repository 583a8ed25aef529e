#include "serial/port_numbering.h"

#include <gtest/gtest.h>

#include "serial/port_error.h"

namespace serial {
namespace {

SerialDevice device(const std::string& path, bool usb = false, const std::string& description = "")
{
    SerialDevice d;
    d.path = path;
    d.canonicalPath = path;
    d.description = description;
    d.usb = usb;
    return d;
}

std::vector<std::string> devicesOf(const std::vector<PortEntry>& entries)
{
    std::vector<std::string> paths;
    for (const PortEntry& e : entries)
        paths.push_back("COM" + std::to_string(e.number) + "=" + e.device);
    return paths;
}

TEST(PortNumbering, UsbAdaptersComeFirstThenBuiltInPortsEachInNumericOrder)
{
    const std::vector<SerialDevice> present = {
        device("/dev/ttyS1"),         device("/dev/ttyUSB10", true), device("/dev/ttyS0"),
        device("/dev/ttyACM0", true), device("/dev/ttyUSB2", true),
    };
    EXPECT_EQ(devicesOf(assignPortNumbers({}, present)),
              (std::vector<std::string>{"COM1=/dev/ttyACM0", "COM2=/dev/ttyUSB2", "COM3=/dev/ttyUSB10",
                                        "COM4=/dev/ttyS0", "COM5=/dev/ttyS1"}));
}

TEST(PortNumbering, ExplicitMappingWinsAndItsDeviceIsNotNumberedTwice)
{
    SerialDevice byId = device("/dev/serial/by-id/usb-FTDI_FT232R-if00-port0", true);
    byId.canonicalPath = "/dev/ttyUSB0";
    const std::vector<SerialDevice> present = {device("/dev/ttyUSB0", true, "FT232R USB UART"),
                                               device("/dev/ttyUSB1", true), device("/dev/ttyS0")};
    const std::vector<PortEntry> entries = assignPortNumbers({{2, byId}, {7, device("/dev/pts/4")}}, present);

    EXPECT_EQ(
        devicesOf(entries),
        (std::vector<std::string>{"COM1=/dev/ttyUSB1", "COM2=/dev/serial/by-id/usb-FTDI_FT232R-if00-port0",
                                  "COM3=/dev/ttyS0", "COM7=/dev/pts/4"}));
    EXPECT_EQ(entries[1].description, "FT232R USB UART");  // taken from the device the link leads to
}

TEST(PortNumbering, NoMoreThanSixteenNumbers)
{
    std::vector<SerialDevice> present;
    for (int i = 0; i < 20; ++i)
        present.push_back(device("/dev/ttyS" + std::to_string(i)));
    const std::vector<PortEntry> entries = assignPortNumbers({}, present);
    ASSERT_EQ(entries.size(), 16u);
    EXPECT_EQ(entries.back().device, "/dev/ttyS15");
}

TEST(PortNumbering, ListingLineShowsNumberDeviceAndDescriptionOrAbsence)
{
    EXPECT_EQ(listingLine({1, "/dev/ttyUSB0", "FT232R USB UART", true}),
              "COM 1  /dev/ttyUSB0  FT232R USB UART");
    EXPECT_EQ(listingLine({12, "/dev/ttyS0", "", true}), "COM 12  /dev/ttyS0");
    EXPECT_EQ(listingLine({3, "/dev/ttyUSB5", "", false}), "COM 3  /dev/ttyUSB5  (not connected)");
}

TEST(PortNumbering, OnlyAWholeNumberOfAPortNamesOne)
{
    EXPECT_EQ(portNumberOfText("4"), 4);
    EXPECT_EQ(portNumberOfText("  05 "), 5);
    EXPECT_EQ(portNumberOfText("1"), 1);
    EXPECT_EQ(portNumberOfText("16"), 16);
    for (const char* text :
         {"", "   ", "0", "17", "-3", "+3", "3.5", "4a", "COM3", "3 4", "\t3", "99999999999"})
        EXPECT_EQ(portNumberOfText(text), std::nullopt) << '"' << text << '"';
}

}  // namespace
}  // namespace serial

namespace serial {
namespace {

TEST(PortError, ANumberOutsideThePortsIsToldAsSuchNeverAsADeviceToName)
{
    const struct {
        int number;
        bool outside;
    } cases[] = {{-1, true}, {0, true}, {17, true}, {1, false}, {16, false}};
    for (const auto& c : cases) {
        const PortError error(PortFailure::NoSuchDevice, c.number, "", "",
                              "/home/u/.config/serial-ports.ini");
        const std::string hint = error.hint();
        EXPECT_EQ(hint.find("is not a COM port number: the ports are COM1 to COM16") != std::string::npos,
                  c.outside)
            << hint;
        EXPECT_EQ(hint.find("serial-ports.ini") == std::string::npos, c.outside) << hint;
    }
}

}  // namespace
}  // namespace serial
