#include "logfetch/convert/report_writer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "logfetch/convert/conversion_error.h"
#include "logfetch/testing/bin_builder.h"
#include "logfetch/testing/memory_bin.h"

namespace logfetch {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;
using testing_support::BinBuilder;
using testing_support::Bytes;
using testing_support::HeaderFields;

// Joins lines with CR LF after each, as the report files hold them.
std::string crlf(const std::vector<std::string>& lines)
{
    std::string text;
    for (const auto& line : lines)
        text += line + "\r\n";
    return text;
}

struct Reports {
    ConversionOutcome outcome;
    std::string prn;
    std::string csv;
    std::int32_t bytesRead = 0;
    int yields = 0;
};

Reports convert(const Bytes& bin)
{
    testing_support::MemoryByteSource source(bin);
    testing_support::TextLineSink prn;
    testing_support::TextLineSink csv;
    Reports reports{};
    reports.outcome = writeReports(source, prn, csv, reports.bytesRead, [&] { ++reports.yields; });
    reports.prn = prn.text;
    reports.csv = csv.text;
    return reports;
}

// Lines of a report, without their CR LF.
std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        result.push_back(text.substr(start, end - start));
    return result;
}

const Bytes kWorkedExample{0xC3, 0xC3, 0xC3, 0x01, 0x01, 0x03, 0x0F, 0x03, 0x0A, 0x14, 0x1E, 0x03,
                           0x0F, 0x03, 0x0A, 0x14, 0x32, 0x04, 0x01, 0x00, 0x01, 0x3A, 0xCA, 0x00,
                           0x3B, 0x1C, 0x07, 0x3B, 0x23, 0xFF, 0xC9, 0x96, 0x6C, 0xA5, 0x5A, 0xC3};

const std::vector<std::string> kBanner{
    std::string(79, '*'),
    "",
    "                      ***********************************",
    "                      *                                 *",
    "                      *  V E L D A N     Q O R I V E X  *",
    "                      *                                 *",
    "                      ***********************************",
    "",
    "                       FLUOROMETER INTERNAL DATA LOGGER",
    "",
    "                              DATA OUTPUT PROGRAM",
    "",
    std::string(79, '*'),
    "",
};

const std::string kEquals(79, '=');

TEST(WorkedExample, ReportsMatchByteForByte)
{
    std::vector<std::string> prn = kBanner;
    for (const std::string& line : std::vector<std::string>{"DATA LOGGING STRATEGY:  ONE WAY",
                                                            "",
                                                            "",
                                                            "DATA SET NO:            1",
                                                            "",
                                                            "DATA LOGGING METHOD:    INSTANT",
                                                            "",
                                                            "DATA LOGGING INTERVAL:  10  (SEC)",
                                                            "",
                                                            "DATA LOGGING UNIT:      (FSU) ",
                                                            "",
                                                            "DATA LOGGING STARTED:  03/15/03 10:20:30",
                                                            "DATA LOGGING ENDED:    03/15/03 10:20:50",
                                                            "",
                                                            kEquals,
                                                            "",
                                                            "",
                                                            "00001: 03/15/03 10:20:30 =  5.12   23.5 (C)",
                                                            "00002: 03/15/03 10:20:40 = -0.007   23.6 (C)",
                                                            "00003: 03/15/03 10:20:50 =  1023.   74.5 (F)",
                                                            kEquals})
        prn.push_back(line);

    const Reports r = convert(kWorkedExample);
    EXPECT_EQ(r.outcome, ConversionOutcome::Completed);
    EXPECT_EQ(r.prn, crlf(prn));
    EXPECT_EQ(r.csv, crlf({"03/15/03, 10:20:30, 5.12, 23.5, (C)", "03/15/03, 10:20:40,-0.007, 23.6, (C)",
                           "03/15/03, 10:20:50, 1023., 74.5, (F)"}));
    // The end marker is never read: the data set ended at the third record.
    EXPECT_EQ(r.bytesRead, 30);
    EXPECT_EQ(r.yields, 2);
}

TEST(Headers, HeaderWithoutRecordsGivesTheHeadingOnly)
{
    const Reports r = convert(BinBuilder::interval(1).header({}).bytes());
    EXPECT_EQ(r.outcome, ConversionOutcome::Completed);
    const auto prn = lines(r.prn);
    ASSERT_EQ(prn.size(), kBanner.size() + 2 + 15 + 1);
    EXPECT_EQ(prn[14], "DATA LOGGING STRATEGY:  ONE WAY");
    EXPECT_EQ(prn.back(), kEquals);
    EXPECT_EQ(prn[prn.size() - 4], kEquals);
    EXPECT_EQ(r.csv, "");
}

TEST(Headers, CodesOutsideTheTablesGiveTheirFallbackTexts)
{
    HeaderFields first;
    first.end = first.start;
    first.unitCode = 100;
    HeaderFields second = first;
    second.number = 2;
    second.intervalCode = 14;
    second.methodCode = 7;
    second.unitCode = 28;
    const Reports r = convert(BinBuilder::interval(2)
                                  .header(first)
                                  .reading2(false, 0, 1)
                                  .header(second)
                                  .reading2(false, 0, 2)
                                  .reading2(false, 0, 3)
                                  .bytes());
    EXPECT_THAT(r.prn, HasSubstr("DATA LOGGING UNIT:      (RAW) \r\n"));
    const std::size_t secondSet = r.prn.find("DATA SET NO:            2");
    ASSERT_NE(secondSet, std::string::npos);
    const std::string tail = r.prn.substr(secondSet);
    EXPECT_THAT(tail, HasSubstr("DATA LOGGING METHOD:    Unknown\r\n"));
    EXPECT_THAT(tail, HasSubstr("DATA LOGGING INTERVAL:  N/A\r\n"));
    // The unit without a text of its own repeats the previous data set's unit.
    EXPECT_THAT(tail, HasSubstr("DATA LOGGING UNIT:      (RAW) \r\n"));
    // A zero interval keeps every record at the start time, which is the end time.
    EXPECT_THAT(tail, HasSubstr("00001: 01/01/03 00:00:00 =  2."));
}

TEST(Headers, FirstUnitWithoutTextIsEmpty)
{
    HeaderFields fields;
    fields.unitCode = 99;
    const Reports r = convert(BinBuilder::interval(1).header(fields).bytes());
    EXPECT_THAT(r.prn, HasSubstr("DATA LOGGING UNIT:       \r\n"));
}

TEST(DataSets, TwoSetsShareOneBannerAndRestartTheirRecordNumbers)
{
    HeaderFields first;
    first.end = {1, 1, 3, 0, 0, 1};
    HeaderFields second;
    second.number = 2;
    second.start = {2, 1, 3, 8, 0, 0};
    second.end = {2, 1, 3, 8, 0, 0};
    const Reports r = convert(BinBuilder::interval(2)
                                  .header(first)
                                  .reading2(false, 1, 11)
                                  .reading2(false, 1, 12)
                                  .header(second)
                                  .reading2(true, 1, 13)
                                  .endMarker()
                                  .bytes());
    EXPECT_EQ(r.outcome, ConversionOutcome::Completed);
    const auto prn = lines(r.prn);
    EXPECT_EQ(std::count(prn.begin(), prn.end(), kBanner[4]), 1);
    const auto between = std::find(prn.begin(), prn.end(), "00002: 01/01/03 00:00:01 =  1.2");
    ASSERT_NE(between, prn.end());
    EXPECT_EQ(*(between + 1), kEquals);
    EXPECT_EQ(*(between + 2), "");
    EXPECT_EQ(*(between + 3), "DATA SET NO:            2");
    EXPECT_EQ(prn[prn.size() - 2], "00001: 02/01/03 08:00:00 = -1.3");
    EXPECT_EQ(prn.back(), kEquals);
    EXPECT_EQ(r.csv, crlf({"01/01/03, 00:00:00,  1.1", "01/01/03, 00:00:01,  1.2",
                           "***New Data Set Started***", "02/01/03, 08:00:00, -1.3"}));
    // No yield after the last record of a data set.
    EXPECT_EQ(r.yields, 1);
}

TEST(DataSets, LaterSetNumberedOneGetsTheBannerAgain)
{
    HeaderFields zero;
    zero.number = 0;
    HeaderFields last;
    last.number = 2;
    const Reports r = convert(BinBuilder::interval(2)
                                  .header({})
                                  .reading2(false, 0, 1)
                                  .header(zero)
                                  .reading2(false, 0, 2)
                                  .header(last)
                                  .reading2(false, 0, 3)
                                  .bytes());
    EXPECT_EQ(lines(r.csv).size(), 5U);
    const auto prn = lines(r.prn);
    EXPECT_EQ(std::count(prn.begin(), prn.end(), kBanner[4]), 2);
}

TEST(DataSets, CycleStrategyReadsOnlyTheFirstSet)
{
    HeaderFields second;
    second.number = 2;
    const Reports r = convert(BinBuilder::interval(0)
                                  .header({})
                                  .reading2(false, 0, 1)
                                  .header(second)
                                  .reading2(false, 0, 2)
                                  .endMarker()
                                  .bytes());
    EXPECT_THAT(r.prn, HasSubstr("DATA LOGGING STRATEGY:  CYCLE\r\n"));
    EXPECT_EQ(r.csv, crlf({"01/01/03, 00:00:00,  1."}));
    EXPECT_THAT(r.prn, ::testing::EndsWith("00001: 01/01/03 00:00:00 =  1.\r\n" + kEquals + "\r\n"));
}

TEST(DataSets, FileEndingBeforeTheEndTimeStillCompletes)
{
    HeaderFields fields;
    fields.end = {1, 1, 3, 1, 0, 0};
    const Reports r =
        convert(BinBuilder::interval(1).header(fields).reading2(false, 0, 1).reading2(false, 0, 2).bytes());
    EXPECT_EQ(r.outcome, ConversionOutcome::Completed);
    EXPECT_EQ(lines(r.csv).size(), 2U);
    EXPECT_EQ(lines(r.prn).back(), kEquals);
}

TEST(DataSets, UnmatchedEndTimeReadsFollowingBytesAsRecords)
{
    HeaderFields fields;
    fields.end = {1, 1, 3, 5, 0, 0};
    // The 6-byte end marker reads as three more 2-byte records.
    const Reports r =
        convert(BinBuilder::interval(2).header(fields).reading2(false, 0, 1).endMarker().bytes());
    EXPECT_EQ(r.outcome, ConversionOutcome::Completed);
    EXPECT_EQ(lines(r.csv).size(), 4U);
    EXPECT_EQ(lines(r.csv)[1], "01/01/03, 00:00:01,  4.06");  // C9 96
}

TEST(StampedLayout, DataSetEndsAtTheRecordWhoseStampIsTheEndTime)
{
    HeaderFields fields;
    fields.start = {3, 9, 3, 8, 19, 43};
    fields.end = {3, 9, 3, 8, 19, 50};
    const Reports r = convert(BinBuilder::stamped(1)
                                  .header(fields)
                                  .recordStamp(8, 19, 43, 3, 9, 13)
                                  .reading2(false, 2, 512)
                                  .recordStamp(8, 19, 50, 3, 9, 13)
                                  .reading2(true, 0, 7)
                                  .recordStamp(8, 19, 55, 3, 9, 13)
                                  .reading2(false, 0, 9)
                                  .bytes());
    EXPECT_EQ(r.csv, crlf({"03/09/03, 08:19:43,  5.12", "03/09/03, 08:19:50, -7."}));
    EXPECT_THAT(r.prn, HasSubstr("00002: 03/09/03 08:19:50 = -7.\r\n" + kEquals + "\r\n"));
}

TEST(StampedLayout, SevenByteRecordsCarryTemperatureColumns)
{
    HeaderFields fields;
    fields.temperatureFlag = 1;
    fields.end = {5, 10, 32, 21, 21, 21};
    const Reports r = convert(BinBuilder::stamped(1).header(fields).raw(Bytes(7, 0xAA)).bytes());
    EXPECT_EQ(r.csv, crlf({"05/10/32, 21:21:21,  6.82, 154.8, (F)"}));
    EXPECT_THAT(r.prn, HasSubstr("00001: 05/10/32 21:21:21 =  6.82   154.8 (F)\r\n"));
}

TEST(Temperature, FlagOtherThanOneKeepsTheColumnsButReportsNoNewTemperature)
{
    HeaderFields reported;
    reported.temperatureFlag = 1;
    reported.end = reported.start;
    HeaderFields silent = reported;
    silent.number = 2;
    silent.temperatureFlag = 2;
    const Reports r = convert(BinBuilder::interval(2)
                                  .header(reported)
                                  .reading3(235, false, false, 0, 1)
                                  .header(silent)
                                  .reading3(900, true, false, 0, 2)
                                  .bytes());
    EXPECT_EQ(r.csv, crlf({"01/01/03, 00:00:00, 1., 23.5, (C)", "***New Data Set Started***",
                           "01/01/03, 00:00:00, 2., 23.5, (C)"}));

    HeaderFields never = silent;
    never.number = 1;
    const Reports empty =
        convert(BinBuilder::interval(1).header(never).reading3(900, true, false, 0, 2).bytes());
    EXPECT_EQ(empty.csv, crlf({"01/01/03, 00:00:00, 2., , "}));
    EXPECT_THAT(empty.prn, HasSubstr("00001: 01/01/03 00:00:00 =  2.    \r\n"));
}

TEST(Rejection, UnknownKindMarkerWritesNothing)
{
    for (const Bytes& bin : {Bytes{}, Bytes{0xC3, 0xC3}, Bytes{0xC3, 0xC3, 0x3C, 1}}) {
        const Reports r = convert(bin);
        EXPECT_EQ(r.outcome, ConversionOutcome::Rejected);
        EXPECT_EQ(r.prn, "");
        EXPECT_EQ(r.csv, "");
    }
}

TEST(Failures, InvalidEndStampStopsBeforeTheHeading)
{
    HeaderFields fields;
    fields.end = {2, 30, 3, 0, 0, 0};
    testing_support::MemoryByteSource source(BinBuilder::interval(1).header(fields).bytes());
    testing_support::TextLineSink prn, csv;
    std::int32_t read = 0;
    try {
        writeReports(source, prn, csv, read, [] {});
        FAIL() << "no error";
    } catch (const ConversionError& error) {
        EXPECT_EQ(error.number(), 13);
        EXPECT_THAT(error.description(), HasSubstr("02/30/03 00:00:00"));
    }
    EXPECT_EQ(prn.text, "");
}

TEST(Failures, InvalidStartStampStopsAfterTheUnitLine)
{
    HeaderFields fields;
    fields.start = {1, 1, 3, 24, 0, 0};
    testing_support::MemoryByteSource source(
        BinBuilder::interval(1).header(fields).reading2(false, 0, 1).bytes());
    testing_support::TextLineSink prn, csv;
    std::int32_t read = 0;
    EXPECT_THROW(writeReports(source, prn, csv, read, [] {}), ConversionError);
    EXPECT_THAT(prn.text, ::testing::EndsWith("DATA LOGGING UNIT:      (   ) \r\n\r\n"));
    EXPECT_EQ(csv.text, "");
}

TEST(Failures, HeaderCutShortIsAnErrorNotGarbage)
{
    const Bytes whole = BinBuilder::interval(2).header({}).reading2(false, 0, 1).header({}).bytes();
    for (std::size_t cut : {std::size_t{3}, std::size_t{4}, whole.size() - 16, whole.size() - 1}) {
        testing_support::MemoryByteSource source(whole.data(), cut);
        testing_support::TextLineSink prn, csv;
        std::int32_t read = 0;
        try {
            writeReports(source, prn, csv, read, [] {});
            FAIL() << "no error at cut " << cut;
        } catch (const ConversionError& error) {
            EXPECT_EQ(error.number(), 62);
            EXPECT_THAT(error.description(), StartsWith("Input past end of file"));
        }
        // Only what came before the cut: no records decoded from a partial header.
        EXPECT_EQ(csv.text, cut <= 4 ? "" : crlf({"01/01/03, 00:00:00,  1.", "***New Data Set Started***"}));
    }
}

TEST(Failures, RecordCutShortIsDropped)
{
    HeaderFields fields;
    fields.temperatureFlag = 1;
    fields.end = {1, 1, 3, 5, 0, 0};
    Bytes bin = BinBuilder::interval(1).header(fields).reading3(235, false, false, 0, 1).bytes();
    bin.push_back(0x3A);
    bin.push_back(0xCA);
    const Reports r = convert(bin);
    EXPECT_EQ(r.outcome, ConversionOutcome::Completed);
    EXPECT_EQ(r.csv, crlf({"01/01/03, 00:00:00, 1., 23.5, (C)"}));
    EXPECT_EQ(r.bytesRead, static_cast<std::int32_t>(bin.size()));
}

}  // namespace
}  // namespace logfetch
