#include "common/core/file_dialog_filters.h"

#include <gtest/gtest.h>

namespace common {
namespace {

TEST(FileDialogFilters, EachPatternMatchesBothLetterCasesAndStarDotStarEveryFile)
{
    EXPECT_EQ(qtNameFilters("Binary File (*.BIN)|*.BIN|All File (*.*)|*.*"),
              (QStringList{"Binary File (*.BIN *.bin)", "All File (*)"}));
    EXPECT_EQ(qtNameFilters("Logs (*.txt;*.Log)|*.txt;*.Log"),
              (QStringList{"Logs (*.txt *.TXT *.Log *.LOG *.log)"}));
}

TEST(FileDialogFilters, OddOrEmptyPartsAreLeftOut)
{
    EXPECT_EQ(qtNameFilters(""), QStringList{});
    EXPECT_EQ(qtNameFilters("Binary File (*.BIN)|*.BIN|Dangling"), QStringList{"Binary File (*.BIN *.bin)"});
    EXPECT_EQ(qtNameFilters("|*.csv|Nothing|"), QStringList{"*.csv *.CSV"});
}

}  // namespace
}  // namespace common
