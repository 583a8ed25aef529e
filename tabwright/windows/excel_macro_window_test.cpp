#include "tabwright/windows/excel_macro_window.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

#include "testing/widgets/modal_script.h"
#include "testing/widgets/modal_watchdog.h"
#include "testing/widgets/named_control.h"
#include "testing/widgets/qt_application.h"

namespace tabwright {
namespace {

class ExcelMacroWindowTest : public ::testing::Test {
protected:
    template <typename Control>
    Control& control(const char* name)
    {
        return testing_support::namedControl<Control>(window, name);
    }

    QCheckBox& box() { return control<QCheckBox>("chkExcelMacro"); }
    QLineEdit& name() { return control<QLineEdit>("txtExcelMacro"); }
    QColor nameBackground() { return name().palette().color(QPalette::Base); }
    QColor frameBackground()
    {
        const auto& frame = control<QGroupBox>("fraExcelMacro");
        return frame.palette().color(frame.backgroundRole());
    }

    void click(const char* button) { QTest::mouseClick(&control<QPushButton>(button), Qt::LeftButton); }

    // Runs ShowForm with the user's actions; the window is hidden, not gone, after it.
    bool showForm(std::function<void()> user)
    {
        script.then("frmExcelMacro", [user = std::move(user)](QWidget&) { user(); });
        const bool result = window.ShowForm();
        EXPECT_EQ(script.stepsLeft(), 0U) << "steps left when the dialog closed";
        EXPECT_FALSE(window.isVisible());
        return result;
    }

    QApplication& app = testing_support::application();
    frmExcelMacro window;
    testing_support::ModalWatchdog watchdog;
    testing_support::ModalScript script;
};

TEST_F(ExcelMacroWindowTest, ShownWithTheMacroOffTheNameIsDisabledOnTheFramesBackground)
{
    window.setMacroEnable(false);
    window.setMacroName("ChartReadings");
    const bool result = showForm([&] {
        EXPECT_EQ(window.windowTitle(), "Excel Configuration");
        EXPECT_EQ(box().text(), "&Run Excel Macro:");
        EXPECT_FALSE(box().isChecked());
        EXPECT_FALSE(name().isEnabled());
        EXPECT_EQ(nameBackground(), frameBackground());
        EXPECT_NE(frameBackground(), QColor(Qt::white)) << "the two states would look alike";
        EXPECT_EQ(name().text(), "ChartReadings");
        EXPECT_TRUE(control<QPushButton>("cmdOK").isDefault());
        click("cmdOK");
    });
    EXPECT_TRUE(result);
    EXPECT_FALSE(window.MacroEnable());
    EXPECT_EQ(window.MacroName(), "ChartReadings");
}

TEST_F(ExcelMacroWindowTest, ClickingTheBoxSwitchesTheNameBetweenWhiteEnabledAndFrameDisabled)
{
    window.setMacroEnable(false);
    const bool result = showForm([&] {
        QTest::mouseClick(&box(), Qt::LeftButton, {}, QPoint(8, box().height() / 2));
        ASSERT_TRUE(box().isChecked());
        EXPECT_TRUE(name().isEnabled());
        EXPECT_EQ(nameBackground(), QColor(255, 255, 255));
        QTest::keyClicks(&name(), " Standard.Tabwright.ChartReadings ");

        box().click();
        EXPECT_FALSE(name().isEnabled());
        EXPECT_EQ(nameBackground(), frameBackground());
        box().click();
        click("cmdOK");
    });
    EXPECT_TRUE(result);
    EXPECT_TRUE(window.MacroEnable());
    // The name comes back exactly as typed, spaces and all.
    EXPECT_EQ(window.MacroName(), " Standard.Tabwright.ChartReadings ");
}

TEST_F(ExcelMacroWindowTest, CancelEscapeAndTheFrameAnswerFalse)
{
    const std::function<void()> ways[] = {
        [&] { click("cmdCancel"); },
        [&] { QTest::keyClick(&window, Qt::Key_Escape); },
        [&] { window.close(); },
    };
    for (const auto& leave : ways) {
        // As the main window uses it: its values in, read back only on OK.
        bool enabled = true;
        std::string macro = "ChartReadings";
        window.setMacroEnable(enabled);
        window.setMacroName(macro);
        const bool result = showForm([&] {
            EXPECT_TRUE(name().isEnabled());
            EXPECT_EQ(nameBackground(), QColor(255, 255, 255));
            name().setText("Other");
            box().click();
            leave();
        });
        EXPECT_FALSE(result);
        if (result) {
            enabled = window.MacroEnable();
            macro = window.MacroName();
        }
        EXPECT_TRUE(enabled);
        EXPECT_EQ(macro, "ChartReadings");
        // The dialog itself keeps what was typed until its values are written again.
        EXPECT_EQ(window.MacroName(), "Other");
        EXPECT_FALSE(window.MacroEnable());
    }
}

TEST_F(ExcelMacroWindowTest, OkAfterACancelAnswersTrueAgain)
{
    EXPECT_FALSE(showForm([&] { click("cmdCancel"); }));
    EXPECT_TRUE(showForm([&] { click("cmdOK"); }));
}

}  // namespace
}  // namespace tabwright
