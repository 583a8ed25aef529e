#include "logfetch/convert/log_readings.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "logfetch/convert/report_writer.h"
#include "logfetch/testing/bin_builder.h"
#include "logfetch/testing/memory_bin.h"

namespace logfetch {
namespace {

using testing_support::BinBuilder;

class NoLines : public LineSink {
public:
    void writeLine(std::string_view) override {}
};

std::vector<std::pair<double, double>> pointsOf(const common::ReadingSeries* series)
{
    std::vector<std::pair<double, double>> points;
    for (std::size_t i = 0; series && i < series->size(); ++i)
        points.emplace_back(series->time(i), series->value(i));
    return points;
}

LogReadings readingsOf(const testing_support::Bytes& bin)
{
    testing_support::MemoryByteSource source(bin);
    NoLines prn;
    NoLines csv;
    std::int32_t bytesRead = 0;
    LogReadings readings;
    writeReports(
        source, prn, csv, bytesRead, [] {}, &readings);
    return readings;
}

TEST(LogReadings, IntervalRecordsOverMidnightWithTemperatures)
{
    // interval code 0 with its step; three records from 23:59:59 on with a temperature each
    testing_support::HeaderFields header;
    header.start = {1, 1, 3, 23, 59, 59};
    header.end = {1, 2, 3, 0, 0, 3};
    header.temperatureFlag = 1;
    header.unitCode = 3;
    header.intervalCode = 1;
    const LogReadings readings = readingsOf(BinBuilder::interval(1)
                                                .header(header)
                                                .reading3(215, false, false, 1, 512)
                                                .reading3(216, false, true, 2, 512)
                                                .reading3(217, false, false, 0, 7)
                                                .endMarker()
                                                .bytes());
    ASSERT_EQ(readings.dataSets().size(), 1u);
    const common::ReadingSet& set = readings.dataSets().front().readings;
    const auto reading = pointsOf(set.find("Reading (PPM)"));
    ASSERT_EQ(reading.size(), 3u);
    // values are kept as floats
    EXPECT_EQ(reading[0].first, 86'399);
    EXPECT_FLOAT_EQ(static_cast<float>(reading[0].second), 51.2F);
    EXPECT_FLOAT_EQ(static_cast<float>(reading[1].second), -5.12F);
    EXPECT_EQ(reading[2].second, 7);
    EXPECT_GT(reading[1].first, 86'399);  // past midnight, on the next day
    EXPECT_LT(reading[1].first, reading[2].first);
    const auto temperature = pointsOf(set.find("Temperature (C)"));
    EXPECT_EQ(temperature.size(), 3u);
    EXPECT_DOUBLE_EQ(temperature[0].second, 21.5);
    EXPECT_EQ(set.find("Temperature (C)")->axis(), common::ValueAxis::Temperature);
}

TEST(LogReadings, OneReadingSetPerDataSet)
{
    testing_support::HeaderFields first;
    first.number = 1;
    testing_support::HeaderFields second;
    second.number = 2;
    second.start = {1, 1, 3, 10, 0, 0};
    second.end = {1, 1, 3, 10, 0, 0};
    const LogReadings readings = readingsOf(BinBuilder::interval(2)
                                                .header(first)
                                                .reading2(false, 0, 1)
                                                .header(second)
                                                .reading2(false, 0, 2)
                                                .endMarker()
                                                .bytes());
    ASSERT_EQ(readings.dataSets().size(), 2u);
    EXPECT_EQ(readings.dataSets()[0].number, 1);
    EXPECT_EQ(readings.dataSets()[1].number, 2);
    EXPECT_EQ(pointsOf(readings.dataSets()[1].readings.find("Reading")),
              (std::vector<std::pair<double, double>>{{36'000, 2}}));
    EXPECT_EQ(readings.dataSets()[0].readings.find("Temperature (C)"), nullptr);
}

}  // namespace
}  // namespace logfetch
