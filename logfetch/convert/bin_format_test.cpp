#include "logfetch/convert/bin_format.h"

#include <gtest/gtest.h>

#include <vector>

#include "logfetch/convert/record_time.h"

namespace logfetch {
namespace {

TEST(KindMarker, SelectsLayoutOrRejects)
{
    EXPECT_EQ(layoutFromKindMarker(0x3C, 0x3C, 0x3C), BinLayout::Stamped);
    EXPECT_EQ(layoutFromKindMarker(0xC3, 0xC3, 0xC3), BinLayout::Interval);
    EXPECT_FALSE(layoutFromKindMarker(0xC3, 0xC3, 0x3C));
    EXPECT_FALSE(layoutFromKindMarker(0, 0, 0));
}

TEST(RecordSize, FollowsLayoutAndTemperatureFlag)
{
    EXPECT_EQ(recordSize(BinLayout::Interval, 0), 2);
    EXPECT_EQ(recordSize(BinLayout::Interval, 1), 3);
    EXPECT_EQ(recordSize(BinLayout::Interval, 7), 3);
    EXPECT_EQ(recordSize(BinLayout::Stamped, 0), 6);
    EXPECT_EQ(recordSize(BinLayout::Stamped, 2), 7);
}

TEST(Decoders, TwoByteReadingWithEveryFieldSet)
{
    const std::uint8_t bytes[] = {0x1F, 0xFF};
    const Reading r = decodeTwoByteRecord(bytes).reading;
    EXPECT_TRUE(r.negative);
    EXPECT_EQ(r.decimalPlaces, 3);
    EXPECT_EQ(r.digits, 1023);
}

TEST(Decoders, UnusedHighBitsOfTwoByteReadingAreIgnored)
{
    const std::uint8_t bytes[] = {0xE0, 0x05};
    const Reading r = decodeTwoByteRecord(bytes).reading;
    EXPECT_FALSE(r.negative);
    EXPECT_EQ(r.decimalPlaces, 0);
    EXPECT_EQ(r.digits, 5);
}

TEST(Decoders, RecordStampFields)
{
    const std::uint8_t bytes[] = {0x42, 0x75, 0x9A, 0x4D, 0x00, 0x00};
    const RecordStamp s = decodeSixByteRecord(bytes).stamp;
    EXPECT_EQ(s.hour, 8);
    EXPECT_EQ(s.minute, 19);
    EXPECT_EQ(s.second, 43);
    EXPECT_EQ(s.month, 3);
    EXPECT_EQ(s.day, 9);
    EXPECT_EQ(s.yearField, 13);
    EXPECT_EQ(recordStampText(s).text(), "03/09/03 08:19:43");
}

TEST(Decoders, ThreeByteReadingWithFahrenheitTemperature)
{
    const std::uint8_t bytes[] = {0xE6, 0x2C, 0x7B};
    const ThreeByteRecord d = decodeThreeByteRecord(bytes);
    EXPECT_EQ(d.temperature.tenthsCelsius, 920);
    EXPECT_TRUE(d.temperature.fahrenheit);
    EXPECT_FALSE(d.reading.negative);
    EXPECT_EQ(d.reading.decimalPlaces, 3);
    EXPECT_EQ(d.reading.digits, 123);
}

struct StampedExpectation {
    std::uint8_t pattern;
    RecordStamp stamp;
    Reading reading;
    Temperature temperature;
};

TEST(Decoders, AlternatingBitPatternsInStampedRecords)
{
    const StampedExpectation cases[] = {
        {0xAA, {21, 21, 21, 5, 10, 42}, {false, 2, 682}, {682, true}},
        {0x55, {10, 42, 42, 10, 21, 21}, {true, 1, 341}, {341, false}},
    };
    for (const auto& expected : cases) {
        SCOPED_TRACE(static_cast<int>(expected.pattern));
        const std::vector<std::uint8_t> bytes(7, expected.pattern);
        const SevenByteRecord seven = decodeSevenByteRecord(bytes.data());
        const SixByteRecord six = decodeSixByteRecord(bytes.data());
        for (const RecordStamp& s : {seven.stamp, six.stamp}) {
            EXPECT_EQ(s.hour, expected.stamp.hour);
            EXPECT_EQ(s.minute, expected.stamp.minute);
            EXPECT_EQ(s.second, expected.stamp.second);
            EXPECT_EQ(s.month, expected.stamp.month);
            EXPECT_EQ(s.day, expected.stamp.day);
            EXPECT_EQ(s.yearField, expected.stamp.yearField);
        }
        for (const Reading& r : {seven.reading, six.reading}) {
            EXPECT_EQ(r.negative, expected.reading.negative);
            EXPECT_EQ(r.decimalPlaces, expected.reading.decimalPlaces);
            EXPECT_EQ(r.digits, expected.reading.digits);
        }
        EXPECT_EQ(seven.temperature.tenthsCelsius, expected.temperature.tenthsCelsius);
        EXPECT_EQ(seven.temperature.fahrenheit, expected.temperature.fahrenheit);
    }
}

TEST(CodeTables, TextsAndFallbacks)
{
    EXPECT_EQ(IntervalTable(4).text, "10  (SEC)");
    EXPECT_EQ(IntervalTable(13).seconds, 1800);
    EXPECT_EQ(IntervalTable(14).text, "N/A");
    EXPECT_EQ(IntervalTable(14).seconds, 0);
    EXPECT_EQ(UnitTable(0), "(   )");
    EXPECT_EQ(UnitTable(27), "(fg / mg)");
    EXPECT_EQ(UnitTable(100), "(RAW)");
    EXPECT_FALSE(UnitTable(28));
    EXPECT_FALSE(UnitTable(255));
    EXPECT_EQ(methodText(0), "INSTANT");
    EXPECT_EQ(methodText(1), "AVERAGE");
    EXPECT_EQ(methodText(2), "Unknown");
    EXPECT_EQ(strategyText(0), "CYCLE");
    EXPECT_EQ(strategyText(9), "ONE WAY");
}

}  // namespace
}  // namespace logfetch
