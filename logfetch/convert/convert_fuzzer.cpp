// Feeds arbitrary bytes to the report writer as a .BIN.
#include <cstddef>
#include <cstdint>

#include "logfetch/convert/conversion_error.h"
#include "logfetch/convert/report_writer.h"
#include "logfetch/testing/memory_bin.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    testing_support::MemoryByteSource bin(data, size);
    testing_support::TextLineSink prn;
    testing_support::TextLineSink csv;
    std::int32_t bytesRead = 0;
    try {
        logfetch::writeReports(bin, prn, csv, bytesRead, [] {});
    } catch (const logfetch::ConversionError&) {
    }
    if (bytesRead < 0 || static_cast<std::size_t>(bytesRead) > size)
        __builtin_trap();
    return 0;
}
