#include "logfetch/convert/bin_format.h"

namespace logfetch {

namespace {

std::uint32_t bigEndian(const std::uint8_t* bytes, int count)
{
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i)
        value = (value << 8) | bytes[i];
    return value;
}

Reading readingFromField(std::uint32_t field)
{
    return Reading{
        .negative = ((field >> 12) & 1U) != 0,
        .decimalPlaces = static_cast<int>((field >> 10) & 3U),
        .digits = static_cast<int>(field & 0x3FFU),
    };
}

Temperature temperatureFromField(std::uint32_t field24)
{
    return Temperature{
        .tenthsCelsius = static_cast<int>((field24 >> 14) & 0x3FFU),
        .fahrenheit = ((field24 >> 13) & 1U) != 0,
    };
}

RecordStamp stampFromField(std::uint32_t field)
{
    return RecordStamp{
        .hour = static_cast<int>((field >> 27) & 0x1FU),
        .minute = static_cast<int>((field >> 21) & 0x3FU),
        .second = static_cast<int>((field >> 15) & 0x3FU),
        .month = static_cast<int>((field >> 11) & 0xFU),
        .day = static_cast<int>((field >> 6) & 0x1FU),
        .yearField = static_cast<int>(field & 0x3FU),
    };
}

constexpr std::array<IntervalEntry, 14> kIntervals{{
    {"1  (SEC)", 1},
    {"2  (SEC)", 2},
    {"3  (SEC)", 3},
    {"5  (SEC)", 5},
    {"10  (SEC)", 10},
    {"20  (SEC)", 20},
    {"30  (SEC)", 30},
    {"1  (MIN)", 60},
    {"2  (MIN)", 120},
    {"3  (MIN)", 180},
    {"5  (MIN)", 300},
    {"10  (MIN)", 600},
    {"20  (MIN)", 1200},
    {"30  (MIN)", 1800},
}};

constexpr std::array<std::string_view, 28> kUnits{
    "(   )",     "(FSU)",     "(QFT)",     "(PPM)",     "(PPB)",     "(PPT)",     "(mg / l)",
    "(mg / dl)", "(mg / ml)", "(mg / kg)", "(mg / g)",  "(ug / l)",  "(ug / ml)", "(ug / kg)",
    "(ug / g)",  "(ng / l)",  "(ng / ml)", "(ng / ul)", "(ng / kg)", "(ng / g)",  "(ng / mg)",
    "(pg / g)",  "(pg / mg)", "(pg / ug)", "(pg / ml)", "(pg / ul)", "(fg / ul)", "(fg / mg)",
};

constexpr std::uint8_t kRawUnitCode = 100;

}  // namespace

std::optional<BinLayout> layoutFromKindMarker(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2)
{
    if (b0 == 0x3C && b1 == 0x3C && b2 == 0x3C)
        return BinLayout::Stamped;
    if (b0 == 0xC3 && b1 == 0xC3 && b2 == 0xC3)
        return BinLayout::Interval;
    return std::nullopt;
}

DataSetHeader decodeDataSetHeader(const std::array<std::uint8_t, kDataSetHeaderSize>& bytes)
{
    DataSetHeader header;
    header.dataSetNumber = bytes[0];
    for (std::size_t i = 0; i < 6; ++i) {
        header.startStamp[i] = bytes[1 + i];
        header.endStamp[i] = bytes[7 + i];
    }
    header.intervalCode = bytes[13];
    header.temperatureFlag = bytes[14];
    header.methodCode = bytes[15];
    header.unitCode = bytes[16];
    return header;
}

int recordSize(BinLayout layout, std::uint8_t temperatureFlag)
{
    const int readingBytes = temperatureFlag == 0 ? 2 : 3;
    return layout == BinLayout::Stamped ? 4 + readingBytes : readingBytes;
}

TwoByteRecord decodeTwoByteRecord(const std::uint8_t* bytes)
{
    return {readingFromField(bigEndian(bytes, 2))};
}

ThreeByteRecord decodeThreeByteRecord(const std::uint8_t* bytes)
{
    const std::uint32_t field = bigEndian(bytes, 3);
    return {temperatureFromField(field), readingFromField(field)};
}

SixByteRecord decodeSixByteRecord(const std::uint8_t* bytes)
{
    return {stampFromField(bigEndian(bytes, 4)), decodeTwoByteRecord(bytes + 4).reading};
}

SevenByteRecord decodeSevenByteRecord(const std::uint8_t* bytes)
{
    const ThreeByteRecord rest = decodeThreeByteRecord(bytes + 4);
    return {stampFromField(bigEndian(bytes, 4)), rest.temperature, rest.reading};
}

LogRecord decodeRecord(const std::uint8_t* bytes, int size)
{
    switch (size) {
    case 2:
        return {std::nullopt, decodeTwoByteRecord(bytes).reading, std::nullopt};
    case 3: {
        const ThreeByteRecord d = decodeThreeByteRecord(bytes);
        return {std::nullopt, d.reading, d.temperature};
    }
    case 6: {
        const SixByteRecord d = decodeSixByteRecord(bytes);
        return {d.stamp, d.reading, std::nullopt};
    }
    default: {
        const SevenByteRecord d = decodeSevenByteRecord(bytes);
        return {d.stamp, d.reading, d.temperature};
    }
    }
}

IntervalEntry IntervalTable(std::uint8_t intervalCode)
{
    if (intervalCode < kIntervals.size())
        return kIntervals[intervalCode];
    return {"N/A", 0};
}

std::optional<std::string_view> UnitTable(std::uint8_t unitCode)
{
    if (unitCode < kUnits.size())
        return kUnits[unitCode];
    if (unitCode == kRawUnitCode)
        return "(RAW)";
    return std::nullopt;
}

std::string_view methodText(std::uint8_t methodCode)
{
    switch (methodCode) {
    case 0:
        return "INSTANT";
    case 1:
        return "AVERAGE";
    default:
        return "Unknown";
    }
}

std::string_view strategyText(std::uint8_t dataSetCount)
{
    return dataSetCount == 0 ? "CYCLE" : "ONE WAY";
}

}  // namespace logfetch
