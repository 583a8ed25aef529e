#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

// Layout of a data-logger memory image (.BIN): file header, data-set header,
// the four record layouts and the code tables that give their fields a text.
namespace logfetch {

enum class BinLayout { Stamped, Interval };

// The first three bytes select the layout; anything else rejects the file.
std::optional<BinLayout> layoutFromKindMarker(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2);

inline constexpr std::size_t kDataSetHeaderSize = 17;

// month, day, two-digit year, hour, minute, second: one byte each.
using StampBytes = std::array<std::uint8_t, 6>;

struct DataSetHeader {
    std::uint8_t dataSetNumber = 0;
    StampBytes startStamp{};
    StampBytes endStamp{};
    std::uint8_t intervalCode = 0;
    std::uint8_t temperatureFlag = 0;
    std::uint8_t methodCode = 0;
    std::uint8_t unitCode = 0;
};

DataSetHeader decodeDataSetHeader(const std::array<std::uint8_t, kDataSetHeaderSize>& bytes);

// Bytes per record for a layout and the header's temperature flag: 2, 3, 6 or 7.
int recordSize(BinLayout layout, std::uint8_t temperatureFlag);

struct Reading {
    bool negative = false;
    int decimalPlaces = 0;  // 0..3
    int digits = 0;         // 0..1023
};

struct Temperature {
    int tenthsCelsius = 0;  // 0..1023
    bool fahrenheit = false;
};

struct RecordStamp {
    int hour = 0;
    int minute = 0;
    int second = 0;
    int month = 0;
    int day = 0;
    int yearField = 0;  // years since 1990, 0..63
};

struct LogRecord {
    std::optional<RecordStamp> stamp;
    Reading reading;
    std::optional<Temperature> temperature;
};

// The four record layouts by their length in bytes: a reading alone (2), a temperature and
// a reading (3), each after a four-byte time stamp in a stamped data set (6, 7).
struct TwoByteRecord {
    Reading reading;
};
struct ThreeByteRecord {
    Temperature temperature;
    Reading reading;
};
struct SixByteRecord {
    RecordStamp stamp;
    Reading reading;
};
struct SevenByteRecord {
    RecordStamp stamp;
    Temperature temperature;
    Reading reading;
};

TwoByteRecord decodeTwoByteRecord(const std::uint8_t* bytes);
ThreeByteRecord decodeThreeByteRecord(const std::uint8_t* bytes);
SixByteRecord decodeSixByteRecord(const std::uint8_t* bytes);
SevenByteRecord decodeSevenByteRecord(const std::uint8_t* bytes);

// Decodes one record of the given size (2, 3, 6 or 7 bytes).
LogRecord decodeRecord(const std::uint8_t* bytes, int size);

struct IntervalEntry {
    std::string_view text;
    int seconds;
};

// "N/A" and 0 seconds for codes outside the table.
IntervalEntry IntervalTable(std::uint8_t intervalCode);

// Empty when the code has no text of its own.
std::optional<std::string_view> UnitTable(std::uint8_t unitCode);

std::string_view methodText(std::uint8_t methodCode);
std::string_view strategyText(std::uint8_t dataSetCount);

}  // namespace logfetch
