// Reads arbitrary bytes as the per-user COM number mapping file and checks the port list
// built from it: numbers 1 to 16, each once, ascending, each with a device.
#include <QCoreApplication>

#include <cstddef>
#include <cstdint>
#include <string>

#include "serial/port_directory.h"
#include "testing/fuzz_support.h"
#include "testing/port_mapping.h"

using testing_support::fuzzCheck;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static int argc = 1;
    static char name[] = "port_mapping_fuzzer";
    static char* argv[] = {name, nullptr};
    static QCoreApplication application(argc, argv);
    static testing_support::TemporaryPortMapping mapping;
    mapping.writeFile(std::string(reinterpret_cast<const char*>(data), size));

    int previous = 0;
    for (const serial::PortEntry& entry : serial::listPorts()) {
        fuzzCheck(entry.number >= 1 && entry.number <= 16, "a number outside 1 to 16");
        fuzzCheck(entry.number > previous, "numbers not ascending or given twice");
        fuzzCheck(!entry.device.empty(), "a number without a device");
        fuzzCheck(!serial::listingLine(entry).empty(), "an empty listing line");
        previous = entry.number;
    }
    return 0;
}
