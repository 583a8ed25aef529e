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
    const Reading r = DecodeReading2(bytes).reading;
    EXPECT_TRUE(r.negative);
    EXPECT_EQ(r.decimalPlaces, 3);
    EXPECT_EQ(r.digits, 1023);
}

TEST(Decoders, UnusedHighBitsOfTwoByteReadingAreIgnored)
{
    const std::uint8_t bytes[] = {0xE0, 0x05};
    const Reading r = DecodeReading2(bytes).reading;
    EXPECT_FALSE(r.negative);
    EXPECT_EQ(r.decimalPlaces, 0);
    EXPECT_EQ(r.digits, 5);
}

TEST(Decoders, RecordStampFields)
{
    const std::uint8_t bytes[] = {0x42, 0x75, 0x9A, 0x4D, 0x00, 0x00};
    const RecordStamp s = DecodeStamped6(bytes).stamp;
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
    const Decoded3 d = DecodeReading3(bytes);
    EXPECT_EQ(d.temperature.tenthsCelsius, 920);
    EXPECT_TRUE(d.temperature.fahrenheit);
    EXPECT_FALSE(d.reading.negative);
    EXPECT_EQ(d.reading.decimalPlaces, 3);
    EXPECT_EQ(d.reading.digits, 123);
}

TEST(Decoders, AlternatingBitPatternsInStampedRecords)
{
    const std::vector<std::uint8_t> a(7, 0xAA);
    const Decoded7 aa = DecodeStamped7(a.data());
    EXPECT_EQ(aa.stamp.hour, 21);
    EXPECT_EQ(aa.stamp.minute, 21);
    EXPECT_EQ(aa.stamp.second, 21);
    EXPECT_EQ(aa.stamp.month, 5);
    EXPECT_EQ(aa.stamp.day, 10);
    EXPECT_EQ(aa.stamp.yearField, 42);
    EXPECT_FALSE(aa.reading.negative);
    EXPECT_EQ(aa.reading.decimalPlaces, 2);
    EXPECT_EQ(aa.reading.digits, 682);
    EXPECT_EQ(aa.temperature.tenthsCelsius, 682);
    EXPECT_TRUE(aa.temperature.fahrenheit);
    const Decoded6 aa6 = DecodeStamped6(a.data());
    EXPECT_EQ(aa6.reading.digits, 682);
    EXPECT_EQ(aa6.reading.decimalPlaces, 2);

    const std::vector<std::uint8_t> f(7, 0x55);
    const Decoded7 ff = DecodeStamped7(f.data());
    EXPECT_EQ(ff.stamp.hour, 10);
    EXPECT_EQ(ff.stamp.minute, 42);
    EXPECT_EQ(ff.stamp.second, 42);
    EXPECT_EQ(ff.stamp.month, 10);
    EXPECT_EQ(ff.stamp.day, 21);
    EXPECT_EQ(ff.stamp.yearField, 21);
    EXPECT_TRUE(ff.reading.negative);
    EXPECT_EQ(ff.reading.decimalPlaces, 1);
    EXPECT_EQ(ff.reading.digits, 341);
    EXPECT_EQ(ff.temperature.tenthsCelsius, 341);
    EXPECT_FALSE(ff.temperature.fahrenheit);
    const Decoded6 ff6 = DecodeStamped6(f.data());
    EXPECT_TRUE(ff6.reading.negative);
    EXPECT_EQ(ff6.reading.digits, 341);
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
