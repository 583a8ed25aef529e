#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "testing/file_contents.h"

// Builds .BIN images byte by byte for tests, samples and benchmarks.
namespace testing_support {

inline constexpr std::array<std::uint8_t, 6> kEndMarker{0xC9, 0x96, 0x6C, 0xA5, 0x5A, 0xC3};

struct Stamp {
    int month, day, year, hour, minute, second;
};

struct HeaderFields {
    int number = 1;
    Stamp start{1, 1, 3, 0, 0, 0};
    Stamp end{1, 1, 3, 0, 0, 0};
    int intervalCode = 0;
    int temperatureFlag = 0;
    int methodCode = 0;
    int unitCode = 0;
};

class BinBuilder {
public:
    static BinBuilder interval(int dataSetCount);
    static BinBuilder stamped(int dataSetCount);

    BinBuilder& header(const HeaderFields& fields);
    BinBuilder& reading2(bool negative, int places, int digits);
    BinBuilder& reading3(int tenths, bool fahrenheit, bool negative, int places, int digits);
    // The 4-byte record stamp; the year is the field counted from 1990.
    BinBuilder& recordStamp(int hour, int minute, int second, int month, int day, int yearField);
    BinBuilder& raw(const Bytes& bytes);
    BinBuilder& endMarker();

    const Bytes& bytes() const { return bytes_; }

private:
    Bytes bytes_;
};

}  // namespace testing_support
