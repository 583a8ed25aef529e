// Writes the sample data logs shipped under data/samples into the folder given
// as the only argument. Record times come from std::chrono's calendar, so the
// samples also cross-check the converter's own calendar arithmetic.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "logfetch/testing/bin_builder.h"

namespace {

using namespace std::chrono;
using testing_support::BinBuilder;
using testing_support::Bytes;
using testing_support::HeaderFields;
using testing_support::Stamp;

Stamp stampOf(sys_seconds time)
{
    const sys_days day = floor<days>(time);
    const year_month_day date(day);
    const hh_mm_ss clock(time - day);
    return {static_cast<int>(static_cast<unsigned>(date.month())),
            static_cast<int>(static_cast<unsigned>(date.day())),
            static_cast<int>(date.year()) % 100,
            static_cast<int>(clock.hours().count()),
            static_cast<int>(clock.minutes().count()),
            static_cast<int>(clock.seconds().count())};
}

sys_seconds at(int y, unsigned mo, unsigned d, int h, int mi, int s)
{
    return sys_days(year(y) / month(mo) / day(d)) + hours(h) + minutes(mi) + seconds(s);
}

// One interval data set: n records, `seconds` apart, from start.
void intervalSet(BinBuilder& bin, HeaderFields fields, sys_seconds start, int seconds, int n)
{
    fields.start = stampOf(start);
    fields.end = stampOf(start + std::chrono::seconds(seconds * (n - 1)));
    bin.header(fields);
    for (int i = 0; i < n; ++i) {
        const int digits = (137 * i + 311) % 1024;
        if (fields.temperatureFlag == 0)
            bin.reading2(i % 9 == 4, i % 4, digits);
        else
            bin.reading3(180 + (i * 7) % 90, i % 6 == 5, i % 9 == 4, i % 4, digits);
    }
}

// One stamped data set: records at irregular times, each carrying its own stamp.
void stampedSet(BinBuilder& bin, HeaderFields fields, sys_seconds start, int n)
{
    std::vector<sys_seconds> times;
    for (int i = 0; i < n; ++i)
        times.push_back(start + seconds(37 * i + (i * i) % 11));
    fields.start = stampOf(times.front());
    fields.end = stampOf(times.back());
    bin.header(fields);
    for (int i = 0; i < n; ++i) {
        const Stamp s = stampOf(times[static_cast<std::size_t>(i)]);
        const int yearsSince1990 = (s.year + 10) % 100;
        bin.recordStamp(s.hour, s.minute, s.second, s.month, s.day, yearsSince1990);
        const int digits = (211 * i + 97) % 1024;
        if (fields.temperatureFlag == 0)
            bin.reading2(i % 7 == 3, (i + 1) % 4, digits);
        else
            bin.reading3(215 + i % 40, i % 4 == 3, i % 7 == 3, (i + 1) % 4, digits);
    }
}

Bytes workedExample()
{
    return {0xC3, 0xC3, 0xC3, 0x01, 0x01, 0x03, 0x0F, 0x03, 0x0A, 0x14, 0x1E, 0x03,
            0x0F, 0x03, 0x0A, 0x14, 0x32, 0x04, 0x01, 0x00, 0x01, 0x3A, 0xCA, 0x00,
            0x3B, 0x1C, 0x07, 0x3B, 0x23, 0xFF, 0xC9, 0x96, 0x6C, 0xA5, 0x5A, 0xC3};
}

// Three interval data sets: across a leap day at midnight, a 2-byte set, and
// one across the end of a month.
Bytes labWeek()
{
    BinBuilder bin = BinBuilder::interval(3);
    intervalSet(bin, {.number = 1, .intervalCode = 6, .temperatureFlag = 1, .methodCode = 0, .unitCode = 1},
                at(2004, 2, 28, 23, 55, 0), 30, 20);
    intervalSet(bin, {.number = 2, .intervalCode = 7, .temperatureFlag = 0, .methodCode = 1, .unitCode = 4},
                at(2004, 3, 1, 8, 0, 0), 60, 30);
    intervalSet(bin, {.number = 3, .intervalCode = 10, .temperatureFlag = 1, .methodCode = 1, .unitCode = 6},
                at(2004, 3, 31, 22, 30, 0), 300, 24);
    bin.endMarker();
    return bin.bytes();
}

// Two stamped data sets, with and without temperature.
Bytes fieldStamped()
{
    BinBuilder bin = BinBuilder::stamped(2);
    stampedSet(bin, {.number = 1, .intervalCode = 4, .temperatureFlag = 1, .methodCode = 0, .unitCode = 3},
               at(2003, 6, 12, 9, 0, 0), 15);
    stampedSet(bin, {.number = 2, .intervalCode = 4, .temperatureFlag = 0, .methodCode = 0, .unitCode = 100},
               at(2003, 6, 13, 14, 30, 5), 10);
    bin.endMarker();
    return bin.bytes();
}

// A download stopped early: no end marker, the last record cut short.
Bytes stoppedEarly()
{
    BinBuilder bin = BinBuilder::interval(1);
    intervalSet(bin, {.number = 1, .intervalCode = 4, .temperatureFlag = 1, .methodCode = 0, .unitCode = 2},
                at(2003, 11, 3, 13, 0, 0), 10, 40);
    Bytes bytes = bin.bytes();
    bytes.resize(4 + 17 + 3 * 12 + 2);
    return bytes;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sample_logs FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    testing_support::writeFile(folder + "/worked-example.bin", workedExample());
    testing_support::writeFile(folder + "/lab-week.bin", labWeek());
    testing_support::writeFile(folder + "/field-stamped.bin", fieldStamped());
    testing_support::writeFile(folder + "/stopped-early.bin", stoppedEarly());
    return 0;
}
