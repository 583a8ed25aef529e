#include "tabwright/chart/readings_from_rows.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/chart/reading_set.h"
#include "tabwright/capture/capture_parser.h"
#include "tabwright/testing/k7rx_lines.h"

namespace {

using common::ReadingSeries;
using common::ValueAxis;

class SetTimeOfDay : public tabwright::TimeOfDay {
public:
    std::int32_t millisecondsSinceMidnight() override { return seconds * 1000; }
    std::int32_t seconds = 12 * 3600;
};

const std::string kSeparator = "\r\n\r\n\r\n";

// Received text parsed as a capture parses it, its rows taken into a chart's series.
struct ChartedCapture {
    SetTimeOfDay clock;
    tabwright::CaptureParser parser{clock};
    common::ReadingSet readings;
    tabwright::ReadingsFromRows extraction{readings, clock};

    ChartedCapture() { parser.startRun(); }
    void receive(const std::string& text)
    {
        parser.append(text);
        EXPECT_FALSE(parser.processReceivedText(extraction));
    }
    const ReadingSeries& series(const std::string& name)
    {
        const ReadingSeries* found = readings.find(name);
        EXPECT_NE(found, nullptr) << name;
        static const ReadingSeries none("none", ValueAxis::Reading);
        return found ? *found : none;
    }
};

std::vector<std::pair<double, double>> pointsOf(const ReadingSeries& series)
{
    std::vector<std::pair<double, double>> points;
    for (std::size_t i = 0; i < series.size(); ++i)
        points.emplace_back(series.time(i), series.value(i));
    return points;
}

std::vector<std::string> namesOf(const common::ReadingSet& readings)
{
    std::vector<std::string> names;
    for (const ReadingSeries& s : readings.all())
        names.push_back(s.name() + (s.offered() ? "" : " (not offered)") +
                        (s.shownAtFirst() ? "" : " (hidden)"));
    return names;
}

TEST(ReadingsFromRows, K7rxLinesGiveReadingAndTemperatureAtTheirOwnTime)
{
    ChartedCapture capture;
    capture.receive(
        "0 0000 :: 12-07-2026 05:10:26 = 57 (RAW)  43 (C)\r\n"
        "0 0001 :: 12-07-2026 05:10:27 = 58 (RAW)  44 (C)\r\n");
    EXPECT_EQ(namesOf(capture.readings),
              (std::vector<std::string>{"Reading (RAW)", "Temperature (C)", "A (hidden)", "B (hidden)"}));
    const double t = 5 * 3600 + 10 * 60 + 26;
    EXPECT_EQ(pointsOf(capture.series("Reading (RAW)")),
              (std::vector<std::pair<double, double>>{{t, 57}, {t + 1, 58}}));
    EXPECT_EQ(pointsOf(capture.series("Temperature (C)")),
              (std::vector<std::pair<double, double>>{{t, 43}, {t + 1, 44}}));
    EXPECT_EQ(capture.series("Temperature (C)").axis(), ValueAxis::Temperature);
    EXPECT_EQ(capture.series("Reading (RAW)").axis(), ValueAxis::Reading);
    EXPECT_EQ(pointsOf(capture.series("B")), (std::vector<std::pair<double, double>>{{t, 0}, {t + 1, 1}}));
}

TEST(ReadingsFromRows, K7rxLinesOverMidnightAndWithoutTimeStamp)
{
    ChartedCapture capture;
    capture.clock.seconds = 86'399;
    capture.receive(
        "0 0001 :: 12-07-2026 23:59:58 = 10 (RAW)  20 (C)\r\n"
        "0 0002 :: 12-08-2026 00:00:01 = 11 (RAW)  21 (C)\r\n");
    capture.clock.seconds = 3;  // the arrival time of a line without its own time, also past midnight
    capture.receive("0 0003 :: = 12 (RAW)  22 (C)\r\n");
    capture.receive("0 0004 :: 12-08-2026 00:00:05 = 13 (RAW)  23 (C)\r\n");
    EXPECT_EQ(
        pointsOf(capture.series("Reading (RAW)")),
        (std::vector<std::pair<double, double>>{{86'398, 10}, {86'401, 11}, {86'403, 12}, {86'405, 13}}));
}

TEST(ReadingsFromRows, CellsThatAreNoNumbersAreLeftOut)
{
    ChartedCapture capture;
    capture.receive(
        "0 0001 :: 12-07-2026 05:00:00 = --- (RAW)  20 (C)\r\n"
        "0 0002 :: 12-07-2026 05:00:01 = 57 (RAW)  hot (C)\r\n"
        "0 0003 :: 12-07-2026 05:00:02 = 5,7 (RAW)  21.5 (C)\r\n"
        "0 0004 :: 12-07-2026 05:00:03 = 58 (RAW)  21 (C)\r\n");
    EXPECT_EQ(pointsOf(capture.series("Reading (RAW)")),
              (std::vector<std::pair<double, double>>{{18'001, 57}, {18'003, 58}}));
    EXPECT_EQ(pointsOf(capture.series("Temperature (C)")),
              (std::vector<std::pair<double, double>>{{18'000, 20}, {18'002, 21.5}, {18'003, 21}}));
    // the number that is no reading ("---" left "(RAW)" alone) is not a column series either
    EXPECT_EQ(capture.readings.find("D"), nullptr);
}

TEST(ReadingsFromRows, EmulatedK7rxRunGivesOneReadingPerLine)
{
    ChartedCapture capture;
    std::string text;
    for (int i = 0; i < 500; ++i)
        text += testing_support::k7rxLine(i);
    capture.receive(text);
    const ReadingSeries& reading = capture.series("Reading (RAW)");
    ASSERT_EQ(reading.size(), 500u);
    EXPECT_TRUE(reading.timesAscend());
    EXPECT_EQ(capture.series("Temperature (C)").size(), 500u);
}

TEST(ReadingsFromRows, Vq480BlocksTakeTheirBlockStamp)
{
    ChartedCapture capture;
    capture.clock.seconds = 7200;  // the first block has no stamp: its readings arrive at 02:00:00
    capture.receive("9999\r\n9998\r\n");
    capture.clock.seconds = 7210;
    capture.receive(kSeparator);  // stamps column 2 with 02:00:10
    capture.clock.seconds = 7215;
    capture.receive("9997\r\n9996\r\n");
    capture.clock.seconds = 7220;
    capture.receive(kSeparator + "9995\r\n");
    EXPECT_EQ(pointsOf(capture.series("Reading")),
              (std::vector<std::pair<double, double>>{
                  {7200, 9999}, {7200, 9998}, {7210, 9997}, {7210, 9996}, {7220, 9995}}));
}

TEST(ReadingsFromRows, Vq480BlocksOverMidnightAndWithAnInjectedField)
{
    ChartedCapture capture;
    capture.clock.seconds = 86'390;
    capture.receive(kSeparator + "9999\r\n");
    capture.clock.seconds = 10;
    capture.receive(kSeparator + "9999\t10000\r\n");
    EXPECT_EQ(pointsOf(capture.series("Reading")),
              (std::vector<std::pair<double, double>>{{86'390, 9999}, {86'410, 9999}}));
    EXPECT_EQ(pointsOf(capture.series("Field 2")), (std::vector<std::pair<double, double>>{{86'410, 10000}}));
}

TEST(ReadingsFromRows, AColumnOfMostlyTextIsNotOffered)
{
    ChartedCapture capture;
    capture.receive("1\r\nabc\r\ndef\r\n");
    EXPECT_FALSE(capture.series("Reading").offered());
    capture.receive("2\r\n3\r\n4\r\n");
    EXPECT_TRUE(capture.series("Reading").offered());
    EXPECT_EQ(capture.series("Reading").size(), 4u);
    // a column that never held a number has no series
    capture.receive("x\ty\r\n");
    EXPECT_EQ(capture.readings.find("Field 2"), nullptr);
}

TEST(ColumnLetters, CountLikeASheet)
{
    const struct {
        int column;
        std::string letters;
    } cases[] = {{1, "A"},   {2, "B"},   {26, "Z"},   {27, "AA"},
                 {52, "AZ"}, {53, "BA"}, {702, "ZZ"}, {703, "AAA"}};
    for (const auto& c : cases)
        EXPECT_EQ(tabwright::columnLetters(c.column), c.letters) << c.column;
}

}  // namespace
