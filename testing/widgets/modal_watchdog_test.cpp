#include "testing/widgets/modal_watchdog.h"

#include <QDialog>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "testing/widgets/qt_application.h"

namespace testing_support {
namespace {

TEST(ModalWatchdog, ClosesAModalWindowLeftOpenAndFailsTheTestNamingIt)
{
    application();
    EXPECT_NONFATAL_FAILURE(
        {
            ModalWatchdog watchdog(std::chrono::milliseconds(200));
            QDialog stuck;
            stuck.setObjectName("frmStuck");
            const auto start = std::chrono::steady_clock::now();
            stuck.exec();
            EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
            EXPECT_EQ(watchdog.windowsClosed(), 1);
        },
        "frmStuck");
}

}  // namespace
}  // namespace testing_support
