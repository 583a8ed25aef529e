#include "logfetch/testing/bin_builder.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace testing_support {

namespace {

void appendStamp(Bytes& bytes, const Stamp& s)
{
    for (int value : {s.month, s.day, s.year, s.hour, s.minute, s.second})
        bytes.push_back(static_cast<std::uint8_t>(value));
}

std::uint32_t readingField(bool negative, int places, int digits)
{
    return (negative ? 1U << 12 : 0U) | (static_cast<std::uint32_t>(places) << 10) |
           static_cast<std::uint32_t>(digits);
}

void appendBigEndian(Bytes& bytes, std::uint32_t value, int count)
{
    for (int shift = 8 * (count - 1); shift >= 0; shift -= 8)
        bytes.push_back(static_cast<std::uint8_t>(value >> shift));
}

BinBuilder withMarker(std::uint8_t marker, int dataSetCount)
{
    return BinBuilder().raw({marker, marker, marker, static_cast<std::uint8_t>(dataSetCount)});
}

}  // namespace

BinBuilder BinBuilder::interval(int dataSetCount)
{
    return withMarker(0xC3, dataSetCount);
}

BinBuilder BinBuilder::stamped(int dataSetCount)
{
    return withMarker(0x3C, dataSetCount);
}

BinBuilder& BinBuilder::header(const HeaderFields& f)
{
    bytes_.push_back(static_cast<std::uint8_t>(f.number));
    appendStamp(bytes_, f.start);
    appendStamp(bytes_, f.end);
    for (int value : {f.intervalCode, f.temperatureFlag, f.methodCode, f.unitCode})
        bytes_.push_back(static_cast<std::uint8_t>(value));
    return *this;
}

BinBuilder& BinBuilder::reading2(bool negative, int places, int digits)
{
    appendBigEndian(bytes_, readingField(negative, places, digits), 2);
    return *this;
}

BinBuilder& BinBuilder::reading3(int tenths, bool fahrenheit, bool negative, int places, int digits)
{
    const std::uint32_t field = (static_cast<std::uint32_t>(tenths) << 14) | (fahrenheit ? 1U << 13 : 0U) |
                                readingField(negative, places, digits);
    appendBigEndian(bytes_, field, 3);
    return *this;
}

BinBuilder& BinBuilder::recordStamp(int hour, int minute, int second, int month, int day, int yearField)
{
    const auto field = (static_cast<std::uint32_t>(hour) << 27) | (static_cast<std::uint32_t>(minute) << 21) |
                       (static_cast<std::uint32_t>(second) << 15) |
                       (static_cast<std::uint32_t>(month) << 11) | (static_cast<std::uint32_t>(day) << 6) |
                       static_cast<std::uint32_t>(yearField);
    appendBigEndian(bytes_, field, 4);
    return *this;
}

BinBuilder& BinBuilder::raw(const Bytes& bytes)
{
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}

BinBuilder& BinBuilder::endMarker()
{
    bytes_.insert(bytes_.end(), kEndMarker.begin(), kEndMarker.end());
    return *this;
}

}  // namespace testing_support
