#include "logfetch/convert/bin_reader.h"

#include <array>
#include <cstddef>
#include <string>

#include "logfetch/convert/conversion_error.h"

namespace logfetch {

int BinReader::take()
{
    const int byte = source_.next();
    if (byte != ByteSource::kEnd)
        ++bytesRead_;
    return byte;
}

std::optional<BinLayout> BinReader::readKindMarker()
{
    std::array<std::uint8_t, 3> marker{};
    for (auto& byte : marker) {
        const int value = take();
        if (value == ByteSource::kEnd)
            return std::nullopt;
        byte = static_cast<std::uint8_t>(value);
    }
    return layoutFromKindMarker(marker[0], marker[1], marker[2]);
}

std::uint8_t BinReader::readDataSetCount()
{
    const int value = take();
    if (value == ByteSource::kEnd)
        throw ConversionError::cutShort("the file header");
    return static_cast<std::uint8_t>(value);
}

DataSetHeader BinReader::readDataSetHeader(int dataSetIndex)
{
    std::array<std::uint8_t, kDataSetHeaderSize> bytes{};
    for (auto& byte : bytes) {
        const int value = take();
        if (value == ByteSource::kEnd)
            throw ConversionError::cutShort("the header of data set " + std::to_string(dataSetIndex));
        byte = static_cast<std::uint8_t>(value);
    }
    return decodeDataSetHeader(bytes);
}

std::optional<LogRecord> BinReader::readRecord(int size)
{
    std::array<std::uint8_t, 7> bytes{};
    for (int i = 0; i < size; ++i) {
        const int value = take();
        if (value == ByteSource::kEnd)
            return std::nullopt;
        bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value);
    }
    return decodeRecord(bytes.data(), size);
}

}  // namespace logfetch
