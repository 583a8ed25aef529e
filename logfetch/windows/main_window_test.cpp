#include "logfetch/windows/main_window.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "testing/temp_folder.h"
#include "testing/widgets/modal_script.h"
#include "testing/widgets/modal_watchdog.h"
#include "testing/widgets/qt_application.h"

namespace logfetch {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Stands in for the step windows: records what was opened, with the step
// mode it found, and can play a cancelled download.
class RecordingSteps : public StepWindows {
public:
    explicit RecordingSteps(StepValues& values) : values_(values) {}

    void showPortSelection() override { opened.push_back("ports " + std::to_string(values_.gStepMode)); }
    void runDownload() override
    {
        opened.push_back("download " + std::to_string(values_.gStepMode));
        if (cancelDownload)
            values_.gStepMode = StepValues::DownloadOnly;
        if (failDownload)
            throw std::runtime_error("port gone");
    }
    void showConversion() override { opened.push_back("conversion " + std::to_string(values_.gStepMode)); }

    std::vector<std::string> opened;
    bool cancelDownload = false;
    bool failDownload = false;

private:
    StepValues& values_;
};

class MainWindowTest : public ::testing::Test {
protected:
    // A control of the window itself, not of the About box it owns.
    template <typename T>
    T* child(const char* name)
    {
        T* found = window.centralWidget()->findChild<T*>(QString::fromLatin1(name));
        if (found == nullptr)
            found = window.menuBar()->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    // The next control that Tab moves to.
    QWidget* nextTabStop(QWidget* widget)
    {
        do
            widget = widget->nextInFocusChain();
        while (!(widget->focusPolicy() & Qt::TabFocus) || !widget->isVisibleTo(&window));
        return widget;
    }

    QApplication& application = testing_support::application();
    testing_support::TempFolder folder;
    StepValues values;
    RecordingSteps steps{values};
    frmMain window{values, steps, folder.path()};
};

TEST_F(MainWindowTest, LoadsWithCaptionProbeListAndDefaults)
{
    EXPECT_EQ(window.windowTitle(), "Logfetch Version 2.1");
    EXPECT_EQ(child<QListWidget>("List1")->count(), 383);
    EXPECT_TRUE(child<QListWidget>("List1")->isHidden());
    EXPECT_EQ(child<QLabel>("Label1")->text(), "-OR-");
    EXPECT_EQ(values.gPrnFile, ".PRN");
    EXPECT_EQ(values.gCsvFile, ".CSV");
    EXPECT_THAT(steps.opened, IsEmpty());
}

TEST_F(MainWindowTest, ButtonsSetTheStepModeBeforeOpeningTheirWindow)
{
    values.gStepMode = 9;
    QTest::mouseClick(child<QPushButton>("cmdSerialPortSetup"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>("cmdDownload"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>("cmdConvertBINtoPRN"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>("cmdAllSteps"), Qt::LeftButton);
    EXPECT_THAT(steps.opened,
                ElementsAre("ports 9", "download 1", "conversion 2", "download 3", "conversion 3"));
}

TEST_F(MainWindowTest, FunctionKeysDoWhatTheButtonsDo)
{
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    for (Qt::Key key : {Qt::Key_F2, Qt::Key_F3, Qt::Key_F4, Qt::Key_F5})
        QTest::keyClick(&window, key);
    EXPECT_THAT(steps.opened,
                ElementsAre("ports 0", "download 1", "conversion 2", "download 3", "conversion 3"));
}

TEST_F(MainWindowTest, CancelledDownloadEndsTheAllStepsSequence)
{
    steps.cancelDownload = true;
    QTest::mouseClick(child<QPushButton>("cmdAllSteps"), Qt::LeftButton);
    EXPECT_THAT(steps.opened, ElementsAre("download 3"));
    EXPECT_EQ(values.gStepMode, StepValues::DownloadOnly);
}

TEST_F(MainWindowTest, FailingDownloadIsPassedOverAndTheStepModeDecides)
{
    steps.failDownload = true;
    QTest::mouseClick(child<QPushButton>("cmdAllSteps"), Qt::LeftButton);
    EXPECT_THAT(steps.opened, ElementsAre("download 3", "conversion 3"));
}

TEST_F(MainWindowTest, TabOrderFollowsTheButtons)
{
    EXPECT_EQ(nextTabStop(child<QPushButton>("cmdSerialPortSetup")), child<QPushButton>("cmdDownload"));
    EXPECT_EQ(nextTabStop(child<QPushButton>("cmdDownload")), child<QPushButton>("cmdConvertBINtoPRN"));
    EXPECT_EQ(nextTabStop(child<QPushButton>("cmdConvertBINtoPRN")), child<QPushButton>("cmdAllSteps"));
    EXPECT_EQ(nextTabStop(child<QPushButton>("cmdAllSteps")), child<QPushButton>("cmdSerialPortSetup"));
}

TEST_F(MainWindowTest, AboutShowsTitleAndVersionAndClosesWithOk)
{
    testing_support::ModalWatchdog watchdog;
    QString title, version, purpose;
    testing_support::ModalScript script;
    script.then("frmAbout", [&](QWidget& about) {
        title = about.findChild<QLabel*>("lblTitle1")->text();
        version = about.findChild<QLabel*>("lblTitle2")->text();
        purpose = about.findChild<QLabel*>("Label1")->text();
        EXPECT_TRUE(about.findChild<QPushButton*>("cmdOK")->isDefault());
    });
    script.click("frmAbout", "cmdOK");
    child<QAction>("mnuHelpAbout")->trigger();
    EXPECT_EQ(script.stepsLeft(), 0U);
    EXPECT_EQ(watchdog.windowsClosed(), 0);
    EXPECT_EQ(title, "Logfetch");
    EXPECT_EQ(version, "Version 2.1");
    EXPECT_TRUE(purpose.startsWith("This program allows the downloading of Internal Data Logger Memory"));
}

TEST_F(MainWindowTest, OpensWhenTheProgramFolderCannotBeWritten)
{
    frmMain unwritable(values, steps, folder.file("missing/folder"));
    EXPECT_EQ(unwritable.findChild<QListWidget*>("List1")->count(), 0);
    EXPECT_EQ(unwritable.windowTitle(), "Logfetch Version 2.1");
}

}  // namespace
}  // namespace logfetch
