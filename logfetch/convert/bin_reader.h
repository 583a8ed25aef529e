#pragma once

#include <cstdint>
#include <optional>

#include "logfetch/convert/bin_format.h"
#include "logfetch/convert/byte_source.h"

namespace logfetch {

// Reads the parts of a .BIN in file order, one byte at a time, adding one to
// the progress counter for every byte taken. Holds nothing but the part being
// read.
class BinReader {
public:
    BinReader(ByteSource& source, std::int32_t& bytesRead) : source_(source), bytesRead_(bytesRead) {}

    // Empty for an unknown kind marker or a file shorter than one.
    std::optional<BinLayout> readKindMarker();

    // Throws ConversionError when the file ends inside the file header.
    std::uint8_t readDataSetCount();

    // Throws ConversionError when the file ends inside the header; the count
    // of the data set (from 1) goes into that message.
    DataSetHeader readDataSetHeader(int dataSetIndex);

    // Empty at the end of the file. A record cut short by the end of the file
    // is dropped rather than decoded from bytes that are not there.
    std::optional<LogRecord> readRecord(int size);

private:
    int take();

    ByteSource& source_;
    std::int32_t& bytesRead_;
};

}  // namespace logfetch
