#include "logfetch/windows/confirm_overwrite_window.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "testing/widgets/modal_script.h"
#include "testing/widgets/modal_watchdog.h"
#include "testing/widgets/qt_application.h"

namespace logfetch {
namespace {

class ConfirmOverwriteTest : public ::testing::Test {
protected:
    // Shows the question about a file and ends it with the given action.
    void ask(const std::function<void(QWidget&)>& answer)
    {
        values.gOverwriteFile = std::string("/data/lab/run1.prn");
        script.then("frmConfirmOverwrite", answer);
        dialog.ShowForm();
        EXPECT_EQ(script.stepsLeft(), 0U);
    }

    static void click(QWidget& window, const char* button)
    {
        QTest::mouseClick(window.findChild<QPushButton*>(button), Qt::LeftButton);
    }

    QApplication& app = testing_support::application();
    StepValues values;
    frmConfirmOverwrite dialog{values};
    testing_support::ModalWatchdog watchdog;
    testing_support::ModalScript script;
};

TEST_F(ConfirmOverwriteTest, ShowsTheFileAndYesAnswersY)
{
    ask([](QWidget& window) {
        EXPECT_EQ(window.windowTitle(), "Confirm Overwrite");
        EXPECT_EQ(window.findChild<QLabel*>("lblStatus")->text(), "The following file already exists ...");
        EXPECT_EQ(window.findChild<QLabel*>("lblExistingFile")->text(), "/data/lab/run1.prn");
        EXPECT_EQ(window.findChild<QLabel*>("Label2")->text(), "Do you want to overwrite this file?");
        EXPECT_EQ(window.findChild<QPushButton*>("cmdYes")->text(), "Yes");
        EXPECT_EQ(window.findChild<QPushButton*>("cmdNo")->text(), "No");
        click(window, "cmdYes");
    });
    EXPECT_EQ(values.gOverwriteAnswer, "Y");
}

TEST_F(ConfirmOverwriteTest, NoAnswersNAndEnterIsYes)
{
    ask([](QWidget& window) { click(window, "cmdNo"); });
    EXPECT_EQ(values.gOverwriteAnswer, "N");
    ask([](QWidget& window) { QTest::keyClick(&window, Qt::Key_Return); });
    EXPECT_EQ(values.gOverwriteAnswer, "Y");
}

TEST_F(ConfirmOverwriteTest, ClosingByTheFrameOrEscapeNeverLeavesAnEarlierYes)
{
    values.gOverwriteAnswer = std::string(kYes);
    ask([](QWidget& window) { window.close(); });
    EXPECT_EQ(values.gOverwriteAnswer, "N");
    values.gOverwriteAnswer = std::string(kYes);
    ask([](QWidget& window) { QTest::keyClick(&window, Qt::Key_Escape); });
    EXPECT_EQ(values.gOverwriteAnswer, "N");
}

}  // namespace
}  // namespace logfetch
