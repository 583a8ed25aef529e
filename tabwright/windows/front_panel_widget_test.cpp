#include "tabwright/windows/front_panel_widget.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "testing/widgets/named_control.h"
#include "testing/widgets/qt_application.h"

namespace tabwright {
namespace {

using testing_support::namedControl;

class FrontPanelWidgetTest : public ::testing::Test {
protected:
    QString line1() { return namedControl<QLabel>(panel, "lblLine1").text(); }
    QString line2() { return namedControl<QLabel>(panel, "lblLine2").text(); }

    void tick(int count = 1)
    {
        for (int i = 0; i < count; ++i)
            panel.displayTimer_Timer();
    }

    void click(const char* name) { QTest::mouseClick(&namedControl<QWidget>(panel, name), Qt::LeftButton); }

    // The label's text is wholly visible in it.
    static void expectFits(const QLabel& label)
    {
        const int textWidth = label.fontMetrics().horizontalAdvance(label.text());
        EXPECT_LE(textWidth, label.contentsRect().width())
            << label.objectName().toStdString() << " \"" << label.text().toStdString() << '"';
    }

    QApplication& application = testing_support::application();
    FrontPanelWidget panel;
};

TEST_F(FrontPanelWidgetTest, ShowsThePowerUpAtOnceAndStepsEverySecond)
{
    EXPECT_EQ(panel.objectName(), "Frame2");
    EXPECT_EQ(panel.title(), "DLR Panel");
    EXPECT_EQ(line1(), "VELDAN QORIVEX");
    EXPECT_EQ(line2(), "300");

    const auto& timer = namedControl<QTimer>(panel, "Timer1");
    EXPECT_TRUE(timer.isActive());
    EXPECT_EQ(timer.interval(), 1000);

    tick();
    EXPECT_EQ(line2(), "299");
    tick(298);
    EXPECT_EQ(line2(), "1");
    tick();
    EXPECT_EQ(line1(), "0.000");
    EXPECT_EQ(line2(), "Rdy");
}

TEST_F(FrontPanelWidgetTest, GoThroughItsPictureStartsTheIntervalAtTheNextStep)
{
    click("picGO");
    EXPECT_EQ(line2(), "300");
    tick();
    EXPECT_EQ(line1(), "Int: 6000");
    EXPECT_EQ(line2(), "<ESC>- Abort");
    tick();
    EXPECT_EQ(line1(), "Int: 5999");
}

TEST_F(FrontPanelWidgetTest, EscDuringThePowerUpShowsHome)
{
    click("Command20");
    tick();
    EXPECT_EQ(line1(), "0.000");
    EXPECT_EQ(line2(), "Rdy");
}

TEST_F(FrontPanelWidgetTest, TheOtherKeysAndPicturesChangeNothing)
{
    const char* const others[] = {"Command19", "Command18", "Command17", "Command16", "cmdUp",    "Command14",
                                  "Command13", "Command12", "cmdLR",     "cmdDn",     "Command9", "Command8",
                                  "Command7",  "Command6",  "Command1",  "Command2",  "Command3", "Command4",
                                  "picUp",     "picDn",     "picLR"};
    click("cmdGO");
    tick();
    for (const char* name : others)
        click(name);
    tick();
    EXPECT_EQ(line1(), "Int: 5999");
    EXPECT_EQ(line2(), "<ESC>- Abort");
}

TEST_F(FrontPanelWidgetTest, EachPictureCoversItsKey)
{
    const auto& keypad = namedControl<QFrame>(panel, "Frame1");
    for (const auto& [picture, key] : {std::pair{"picGO", "cmdGO"}, std::pair{"picUp", "cmdUp"},
                                       std::pair{"picDn", "cmdDn"}, std::pair{"picLR", "cmdLR"}}) {
        const QRect keyArea = namedControl<QPushButton>(panel, key).geometry();
        const QRect pictureArea = namedControl<QWidget>(panel, picture).geometry();
        EXPECT_EQ(pictureArea.size(), QSize(37, 37)) << picture;
        EXPECT_TRUE(keyArea.contains(pictureArea)) << picture;
        // Raised above the key: a click in the middle of the key reaches the picture.
        EXPECT_EQ(keypad.childAt(keyArea.center())->objectName(), picture);
    }
}

TEST_F(FrontPanelWidgetTest, LinesHoldExactlyTheirTextAndShowItWhole)
{
    const auto& lblLine1 = namedControl<QLabel>(panel, "lblLine1");
    const auto& lblLine2 = namedControl<QLabel>(panel, "lblLine2");
    expectFits(lblLine1);
    click("cmdGO");
    tick();
    expectFits(lblLine2);
    // Past the lowest value the count can hold the panel keeps running.
    tick(38770);
    EXPECT_EQ(lblLine1.text(), "Int: -32768");
    expectFits(lblLine1);
    click("Command20");
    tick();
    EXPECT_EQ(lblLine1.text(), "0.000");
    EXPECT_EQ(lblLine2.text(), "Rdy");
}

}  // namespace
}  // namespace tabwright
