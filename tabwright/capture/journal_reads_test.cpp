#include "tabwright/capture/journal_reads.h"

#include <gtest/gtest.h>

#include <string>

namespace tabwright {
namespace {

std::string sound()
{
    return std::string(kReadsHeader) + readLine(10, 0, 1000) + clockLine(4, 1200) + readLine(25, 8, 2000) +
           clockLine(4, 1300) + stopLine(25, true);
}

TEST(JournalReads, WhatIsWrittenReadsBack)
{
    const JournalReads reads = parseJournalReads(sound(), 25);
    EXPECT_FALSE(reads.damage.has_value()) << *reads.damage;
    ASSERT_EQ(reads.reads.size(), 2u);
    EXPECT_EQ(reads.reads[1].offset, 25);
    EXPECT_EQ(reads.reads[1].written, 8);
    EXPECT_EQ(reads.reads[1].milliseconds, 2000);
    // A stamp written again (after a failed write) kept its later time in the cell.
    EXPECT_EQ(reads.stampTimes.at(4), 1300);
    ASSERT_TRUE(reads.stop.has_value());
    EXPECT_TRUE(reads.stop->unfinishedWritten);
}

struct DamageCase {
    const char* name;
    std::string text;
    std::int64_t journalSize;
    std::size_t readsKept;
    const char* damage;
};

class DamagedReads : public testing::TestWithParam<DamageCase> {};

TEST_P(DamagedReads, KeepTheSoundLinesAndSayWhereReadingStopped)
{
    const JournalReads reads = parseJournalReads(GetParam().text, GetParam().journalSize);
    EXPECT_EQ(reads.reads.size(), GetParam().readsKept);
    ASSERT_TRUE(reads.damage.has_value());
    EXPECT_EQ(*reads.damage, GetParam().damage);
}

const std::string kHeader(kReadsHeader);

INSTANTIATE_TEST_SUITE_P(
    JournalReads, DamagedReads,
    testing::Values(
        DamageCase{"Empty", "", 0, 0, "line 1: not a reads file"},
        DamageCase{"OtherFile", "1\r\n2\r\n", 10, 0, "line 1: not a reads file"},
        DamageCase{"CutInTheLastLine", kHeader + readLine(10, 0, 5) + "r 20 1", 25, 1, "line 3: cut short"},
        DamageCase{"Letters", kHeader + "r 1x 0 5\n", 25, 0, "line 2: not a line of numbers"},
        DamageCase{"Negative", kHeader + "r -1 0 5\n", 25, 0, "line 2: not a line of numbers"},
        DamageCase{"TooLarge", kHeader + "r 99999999999999999999 0 5\n", 25, 0,
                   "line 2: not a line of numbers"},
        DamageCase{"TwoSpaces", kHeader + "r  10 0 5\n", 25, 0, "line 2: not a line of numbers"},
        DamageCase{"BeyondTheJournal", kHeader + readLine(30, 0, 5), 25, 0,
                   "line 2: a read that does not end after the one before and within the journal"},
        DamageCase{"GoingBack", kHeader + readLine(10, 0, 5) + readLine(10, 0, 5), 25, 1,
                   "line 3: a read that does not end after the one before and within the journal"},
        DamageCase{"WrittenBeforeArrived", kHeader + readLine(10, 0, 5) + readLine(20, 11, 5), 25, 1,
                   "line 3: a read after lines that had not arrived"},
        DamageCase{"NotATimeOfDay", kHeader + readLine(10, 0, 86'400'000), 25, 0,
                   "line 2: a time of day out of range"},
        DamageCase{"StampBeforeItsText", kHeader + clockLine(0, 5), 25, 0,
                   "line 2: a stamp time for text that had not arrived, or out of range"},
        DamageCase{"StopElsewhere", kHeader + readLine(10, 0, 5) + stopLine(9, true), 25, 1,
                   "line 3: a Stop where the reads did not end"},
        DamageCase{"AfterStop", kHeader + readLine(10, 0, 5) + stopLine(10, true) + readLine(20, 0, 5), 25, 1,
                   "line 4: a line after the Stop"},
        DamageCase{"UnknownKind", kHeader + "x 1\n", 25, 0, "line 2: an unknown kind of line"},
        DamageCase{"WrongCount", kHeader + "r 10 0\n", 25, 0, "line 2: a read needs three numbers"}),
    [](const testing::TestParamInfo<DamageCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tabwright
