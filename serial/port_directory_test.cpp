#include "serial/port_directory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "serial/qt_serial_port.h"
#include "testing/event_loop.h"
#include "testing/port_mapping.h"
#include "testing/pty_instrument.h"

namespace serial {
namespace {

std::optional<std::string> deviceOf(int number)
{
    const std::optional<PortEntry> entry = findPort(number);
    return entry ? std::optional<std::string>(entry->device) : std::nullopt;
}

TEST(PortDirectory, MappingFileLivesInTheUsersConfigurationFolder)
{
    testing_support::TemporaryPortMapping mapping;
    EXPECT_EQ(portMappingFile(), mapping.configFolder() + "/veldan-qorivex/serial-ports.ini");
}

TEST(PortDirectory, HandWrittenMappingIsReadLeniently)
{
    testing_support::TemporaryPortMapping mapping;
    mapping.writeFile(
        "; my lab PC\n"
        "[Other]\nCOM1=/dev/not-this-one\n"
        "[Ports]\n"
        "com2 = /dev/pts/77\n"
        "COM16=/dev/ttyUSB9\n"
        "COM17=/dev/ttyUSB8\n"
        "COM0=/dev/ttyUSB7\n"
        "COM5=\n"
        "Printer=/dev/lp0\n");
    EXPECT_EQ(deviceOf(2), "/dev/pts/77");
    EXPECT_EQ(deviceOf(16), "/dev/ttyUSB9");
    const std::vector<PortEntry> entries = listPorts();
    for (const PortEntry& entry : entries) {
        EXPECT_NE(entry.device, "/dev/not-this-one");
        EXPECT_NE(entry.device, "/dev/ttyUSB8");
        EXPECT_NE(entry.device, "/dev/ttyUSB7");
        EXPECT_NE(entry.device, "/dev/lp0");
    }
    const auto com2 =
        std::find_if(entries.begin(), entries.end(), [](const PortEntry& e) { return e.number == 2; });
    ASSERT_NE(com2, entries.end());
    EXPECT_FALSE(com2->present);
}

TEST(PortDirectory, MappedInstrumentIsListedAndOpensUnderItsNumber)
{
    testing_support::ensureCoreApplication();
    testing_support::TemporaryPortMapping mapping;
    testing_support::PtyInstrument instrument;
    mapping.map(9, instrument.devicePath());

    const std::optional<PortEntry> entry = findPort(9);
    ASSERT_TRUE(entry);
    EXPECT_TRUE(entry->present);
    EXPECT_EQ(listingLine(*entry), "COM 9  " + instrument.devicePath());

    QtSerialPort port;
    port.setPortNumber(9);
    port.open();
    EXPECT_EQ(port.device(), instrument.devicePath());
    port.sendByte('?');
    EXPECT_EQ(instrument.receive(1, std::chrono::seconds(2)), "?");

    // A changed mapping counts at the next open.
    testing_support::PtyInstrument other;
    mapping.map(9, other.devicePath());
    port.close();
    port.open();
    EXPECT_EQ(port.device(), other.devicePath());
}

}  // namespace
}  // namespace serial
