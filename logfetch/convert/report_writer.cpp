#include "logfetch/convert/report_writer.h"

#include <array>
#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "logfetch/convert/bin_format.h"
#include "logfetch/convert/bin_reader.h"
#include "logfetch/convert/conversion_error.h"
#include "logfetch/convert/reading_text.h"
#include "logfetch/convert/record_time.h"

namespace logfetch {

namespace {

const std::string kStarRule(79, '*');
const std::string kEqualsRule(79, '=');
const std::string kBoxTopBottom = std::string(22, ' ') + std::string(35, '*');
const std::string kBoxSide = std::string(22, ' ') + '*' + std::string(33, ' ') + '*';
constexpr std::string_view kBoxTitle = "                      *  V E L D A N     Q O R I V E X  *";
constexpr std::string_view kTitle1 = "                       FLUOROMETER INTERNAL DATA LOGGER";
constexpr std::string_view kTitle2 = "                              DATA OUTPUT PROGRAM";
constexpr std::string_view kNewDataSet = "***New Data Set Started***";

std::string concat(std::string_view a, std::string_view b, std::string_view c = {})
{
    std::string text;
    text.reserve(a.size() + b.size() + c.size());
    text.append(a).append(b).append(c);
    return text;
}

void writeBanner(LineSink& prn, std::string_view strategy)
{
    for (const std::string_view line :
         {std::string_view(kStarRule), std::string_view(), std::string_view(kBoxTopBottom),
          std::string_view(kBoxSide), kBoxTitle, std::string_view(kBoxSide), std::string_view(kBoxTopBottom),
          std::string_view(), kTitle1, std::string_view(), kTitle2, std::string_view(),
          std::string_view(kStarRule), std::string_view()})
        prn.writeLine(line);
    prn.writeLine(concat("DATA LOGGING STRATEGY:  ", strategy));
    prn.writeLine({});
}

// What the heading of a data set shows, as texts.
struct DataSetTexts {
    std::string_view method;
    std::string_view interval;
    std::string_view unit;
};

// Heading down to the empty line after the unit line.
void writeHeadingTop(LineSink& prn, const DataSetHeader& header, const DataSetTexts& texts)
{
    prn.writeLine({});
    prn.writeLine(concat("DATA SET NO:            ", std::to_string(header.dataSetNumber)));
    prn.writeLine({});
    prn.writeLine(concat("DATA LOGGING METHOD:    ", texts.method));
    prn.writeLine({});
    prn.writeLine(concat("DATA LOGGING INTERVAL:  ", texts.interval));
    prn.writeLine({});
    prn.writeLine(concat("DATA LOGGING UNIT:      ", texts.unit, " "));
    prn.writeLine({});
}

void writeHeadingBottom(LineSink& prn, const DataSetHeader& header)
{
    prn.writeLine(concat("DATA LOGGING STARTED:  ", stampText(header.startStamp).text()));
    prn.writeLine(concat("DATA LOGGING ENDED:    ", stampText(header.endStamp).text()));
    prn.writeLine({});
    prn.writeLine(kEqualsRule);
    prn.writeLine({});
    prn.writeLine({});
}

// The reading and temperature columns of one record; the temperature texts
// carry over from the last record that reported one.
class RecordLines {
public:
    void write(LineSink& prn, LineSink& csv, std::uint32_t recordNumber, const DateTimeText& time,
               const LogRecord& record, int size, bool reportTemperature)
    {
        if (reportTemperature && record.temperature) {
            temperature_ = temperatureText(*record.temperature);
            temperatureUnit_ = temperatureUnitText(*record.temperature);
            temperatureValue_ = temperatureValue(*record.temperature);
        }
        const std::string_view sign = signText(record.reading);
        const std::string reading = readingText(record.reading);
        const bool withTemperature = size == 3 || size == 7;

        line_.assign(recordNumberText(recordNumber)).append(": ").append(time.text()).append(" = ");
        line_.append(sign).append(reading);
        if (withTemperature)
            line_.append("   ").append(temperature_).append(" ").append(temperatureUnit_);
        prn.writeLine(line_);

        line_.assign(time.date()).append(", ").append(time.time()).append(size == 3 ? "," : ", ");
        line_.append(sign).append(reading);
        if (withTemperature)
            line_.append(", ").append(temperature_).append(", ").append(temperatureUnit_);
        csv.writeLine(line_);
        withTemperature_ = withTemperature && !temperature_.empty();
    }

    // The temperature the last record's lines showed, and its unit; empty without one.
    std::optional<double> temperature() const
    {
        return withTemperature_ ? std::optional<double>(temperatureValue_) : std::nullopt;
    }
    std::string_view temperatureUnit() const { return temperatureUnit_; }

private:
    bool withTemperature_ = false;
    std::string temperature_;
    std::string temperatureUnit_;
    double temperatureValue_ = 0;  // the number temperature_ shows
    std::string line_;
};

// The value a reading's digits stand for.
double readingValue(const Reading& reading)
{
    static constexpr std::array<double, 4> kPowersOfTen{1, 10, 100, 1000};
    const double value = reading.digits / kPowersOfTen.at(static_cast<std::size_t>(reading.decimalPlaces));
    return reading.negative ? -value : value;
}

// A data set whose heading is written: what its records are timed by.
struct DataSet {
    DataSetHeader header;
    DateTimeText endTime;
    IntervalEntry interval;
    RunningTime runningTime;
};

// The reports of one BIN file, a data set at a time.
class ReportWriter {
public:
    ReportWriter(ByteSource& bin, std::int32_t& bytesRead, LineSink& prn, LineSink& csv,
                 const std::function<void()>& yield, RecordObserver* observer)
        : reader_(bin, bytesRead), prn_(prn), csv_(csv), yield_(yield), observer_(observer)
    {
    }

    ConversionOutcome write()
    {
        const std::optional<BinLayout> layout = reader_.readKindMarker();
        if (!layout)
            return ConversionOutcome::Rejected;
        const std::uint8_t dataSetCount = reader_.readDataSetCount();
        const std::string_view strategy = strategyText(dataSetCount);
        for (int dataSetIndex = 1;; ++dataSetIndex) {
            DataSet dataSet = startDataSet(dataSetIndex, strategy);
            const bool fileGoesOn = writeRecords(dataSet, *layout);
            prn_.writeLine(kEqualsRule);
            if (!fileGoesOn || dataSet.header.dataSetNumber >= dataSetCount)
                return ConversionOutcome::Completed;
            csv_.writeLine(kNewDataSet);
        }
    }

private:
    // Reads data set `index`'s header, checks its stamps and writes its heading, after the
    // banner for a first data set.
    DataSet startDataSet(int index, std::string_view strategy)
    {
        const DataSetHeader header = reader_.readDataSetHeader(index);
        const DateTimeText endTime = stampText(header.endStamp);
        if (!isValidStamp(header.endStamp))
            throw ConversionError::invalidStamp("end of data set " + std::to_string(index),
                                                std::string(endTime.text()));
        const IntervalEntry interval = IntervalTable(header.intervalCode);
        if (const auto unitText = UnitTable(header.unitCode))
            unit_ = *unitText;

        if (header.dataSetNumber <= 1)
            writeBanner(prn_, strategy);
        writeHeadingTop(prn_, header, {methodText(header.methodCode), interval.text, unit_});
        if (observer_)
            observer_->dataSetStarted(header.dataSetNumber, unit_);
        const std::optional<RunningTime> runningTime = RunningTime::fromStamp(header.startStamp);
        if (!runningTime)
            throw ConversionError::invalidStamp("start of data set " + std::to_string(index),
                                                std::string(stampText(header.startStamp).text()));
        writeHeadingBottom(prn_, header);
        return {header, endTime, interval, *runningTime};
    }

    // Writes the data set's records up to the one stamped with its end; false when the file
    // ends first.
    bool writeRecords(DataSet& dataSet, BinLayout layout)
    {
        const int size = recordSize(layout, dataSet.header.temperatureFlag);
        const bool reportTemperature = dataSet.header.temperatureFlag == 1;
        for (std::uint32_t recordNumber = 1;; ++recordNumber) {
            const std::optional<LogRecord> record = reader_.readRecord(size);
            if (!record)
                return false;
            const DateTimeText time =
                record->stamp ? recordStampText(*record->stamp) : dataSet.runningTime.text();
            records_.write(prn_, csv_, recordNumber, time, *record, size, reportTemperature);
            if (observer_)
                observer_->recordDecoded(time, readingValue(record->reading), records_.temperature(),
                                         records_.temperatureUnit());
            if (time == dataSet.endTime)
                return true;
            dataSet.runningTime.addSeconds(dataSet.interval.seconds);
            yield_();
        }
    }

    BinReader reader_;
    LineSink& prn_;
    LineSink& csv_;
    const std::function<void()>& yield_;
    RecordObserver* observer_;
    std::string_view unit_;  // kept from the previous data set when a code has no text
    RecordLines records_;
};

}  // namespace

ConversionOutcome writeReports(ByteSource& bin, LineSink& prn, LineSink& csv, std::int32_t& bytesRead,
                               const std::function<void()>& yield, RecordObserver* observer)
{
    return ReportWriter(bin, bytesRead, prn, csv, yield, observer).write();
}

}  // namespace logfetch
