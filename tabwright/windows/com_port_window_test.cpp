#include "tabwright/windows/com_port_window.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

#include "common/widgets/port_listing_delegate.h"
#include "testing/port_mapping.h"
#include "testing/pty_instrument.h"
#include "testing/widgets/modal_script.h"
#include "testing/widgets/modal_watchdog.h"
#include "testing/widgets/named_control.h"
#include "testing/widgets/qt_application.h"

namespace tabwright {
namespace {

constexpr char kNoDevice[] = "/dev/no-such-serial-device";

class ComPortWindowTest : public ::testing::Test {
protected:
    // COM 2 and COM 7 are pseudo-terminals; COM 4 names a device that is not there.
    ComPortWindowTest()
    {
        mapping.map(2, com2.devicePath());
        mapping.map(7, com7.devicePath());
        mapping.map(4, kNoDevice);
    }

    template <typename Control>
    Control& control(const char* name)
    {
        return testing_support::namedControl<Control>(window, name);
    }

    QRadioButton& option(int index)
    {
        return control<QRadioButton>(std::string("optComPort_").append(std::to_string(index)).c_str());
    }
    QComboBox& list() { return control<QComboBox>("cboComPort"); }
    QPushButton& ok() { return control<QPushButton>("cmdOK"); }

    // The index of the one option set, or -1 when none is.
    int optionSet()
    {
        int set = -1;
        for (int index = 0; index <= 4; ++index) {
            if (option(index).isChecked()) {
                EXPECT_EQ(set, -1) << "two options set";
                set = index;
            }
        }
        return set;
    }

    void click(QPushButton& button) { QTest::mouseClick(&button, Qt::LeftButton); }

    // Runs GetPort with the user's actions; the window is gone when it returns.
    int getPort(int current, std::function<void()> user)
    {
        script.then("frmComPort", [user = std::move(user)](QWidget&) { user(); });
        const int result = window.GetPort(current);
        EXPECT_EQ(script.stepsLeft(), 0U) << "steps left when the dialog closed";
        EXPECT_FALSE(window.isVisible());
        return result;
    }

    QApplication& app = testing_support::application();
    testing_support::TemporaryPortMapping mapping;
    testing_support::PtyInstrument com2, com7;
    frmComPort window;
    testing_support::ModalWatchdog watchdog;
    testing_support::ModalScript script;
};

struct PresetCase {
    int current;
    int option;  // -1: none
    const char* listText;
};

class ComPortPreset : public ComPortWindowTest, public ::testing::WithParamInterface<PresetCase> {};

TEST_P(ComPortPreset, PresetsTheCurrentPortAndOkReturnsIt)
{
    const PresetCase& c = GetParam();
    const int result = getPort(c.current, [&] {
        EXPECT_EQ(optionSet(), c.option);
        EXPECT_EQ(list().currentText().toStdString(), c.listText);
        EXPECT_EQ(list().isEnabled(), c.option == 0);
        // OK needs a choice; without one only Cancel ends the dialog.
        EXPECT_EQ(ok().isEnabled(), c.option != -1);
        click(c.option != -1 ? ok() : control<QPushButton>("cmdCancel"));
    });
    EXPECT_EQ(result, c.current);
}

INSTANTIATE_TEST_SUITE_P(Ports, ComPortPreset,
                         ::testing::Values(PresetCase{3, 3, "COM 5"}, PresetCase{1, 1, "COM 5"},
                                           PresetCase{4, 4, "COM 5"}, PresetCase{5, 0, "COM 5"},
                                           PresetCase{12, 0, "COM 12"}, PresetCase{16, 0, "COM 16"},
                                           PresetCase{0, -1, "COM 5"}, PresetCase{17, -1, "COM 5"}),
                         [](const auto& info) {
                             return std::string("COM").append(std::to_string(info.param.current));
                         });

TEST_F(ComPortWindowTest, ShowsItsCaptionControlsAndList)
{
    getPort(3, [&] {
        EXPECT_EQ(window.windowTitle(), "COM Port Selection");
        EXPECT_EQ(option(1).text(), "COM &1");
        EXPECT_EQ(option(4).text(), "COM &4");
        EXPECT_EQ(option(0).text(), "&Other");
        EXPECT_EQ(option(0).parentWidget(), &control<QWidget>("Frame1"));
        ASSERT_EQ(list().count(), 12);
        EXPECT_EQ(list().itemText(0), "COM 5");
        EXPECT_EQ(list().itemText(11), "COM 16");
        EXPECT_TRUE(ok().isDefault());
        // Only buttons sitting directly in the container count.
        EXPECT_EQ(window.WhichOptionButton(control<QWidget>("Frame1")), &option(3));
        EXPECT_EQ(window.WhichOptionButton(window), nullptr);
        click(ok());
    });
}

TEST_F(ComPortWindowTest, OtherWithAnotherListEntryReturnsThatNumber)
{
    const int result = getPort(12, [&] {
        EXPECT_EQ(list().currentText(), "COM 12");
        list().setCurrentIndex(list().findText("COM 16"));
        click(ok());
    });
    EXPECT_EQ(result, 16);
}

TEST_F(ComPortWindowTest, CancelEscapeAndTheFrameReturnTheCurrentPortUnchanged)
{
    const std::function<void()> ways[] = {
        [&] { click(control<QPushButton>("cmdCancel")); },
        [&] { QTest::keyClick(&window, Qt::Key_Escape); },
        [&] { window.close(); },
    };
    for (const auto& leave : ways) {
        const int result = getPort(7, [&] {
            option(2).click();
            leave();
        });
        EXPECT_EQ(result, 7);
    }
}

TEST_F(ComPortWindowTest, TheListIsEnabledOnlyWhileOtherIsSet)
{
    const int result = getPort(12, [&] {
        option(1).click();
        EXPECT_FALSE(list().isEnabled());
        option(0).click();
        EXPECT_TRUE(list().isEnabled());
        click(ok());
    });
    EXPECT_EQ(result, 12);
}

TEST_F(ComPortWindowTest, EnterChoosesOnceAnOptionIsSet)
{
    const int result = getPort(0, [&] {
        QTest::keyClick(&window, Qt::Key_Return);
        EXPECT_TRUE(window.isVisible()) << "OK without a choice";
        option(2).click();
        EXPECT_TRUE(ok().isEnabled());
        QTest::keyClick(&window, Qt::Key_Return);
    });
    EXPECT_EQ(result, 2);
}

TEST_F(ComPortWindowTest, ShowsTheDeviceBehindEachNumber)
{
    const int result = getPort(7, [&] {
        EXPECT_EQ(control<QLabel>("lblDevice_2").text().toStdString(), com2.devicePath());
        EXPECT_EQ(control<QLabel>("lblDevice_4").text().toStdString(),
                  std::string(kNoDevice) + "  (not connected)");
        // The chosen list entry's device beside the list, every entry's in the open list.
        EXPECT_EQ(control<QLabel>("lblDevice_0").text().toStdString(), com7.devicePath());
        ASSERT_NE(dynamic_cast<common::PortListingDelegate*>(list().itemDelegate()), nullptr);
        EXPECT_EQ(common::PortListingDelegate::shownText(list().model()->index(2, 0)).toStdString(),
                  "COM 7  " + com7.devicePath());
        // A number whose device is missing can still be chosen.
        option(4).click();
        click(ok());
    });
    EXPECT_EQ(result, 4);
}

TEST_F(ComPortWindowTest, EachChoiceStartsAfreshWithTheDevicesOfThatMoment)
{
    EXPECT_EQ(getPort(3, [&] { click(ok()); }), 3);
    testing_support::PtyInstrument com3;
    mapping.map(3, com3.devicePath());
    const int result = getPort(0, [&] {
        EXPECT_EQ(optionSet(), -1);
        EXPECT_EQ(control<QLabel>("lblDevice_3").text().toStdString(), com3.devicePath());
        click(control<QPushButton>("cmdCancel"));
    });
    EXPECT_EQ(result, 0);
}

}  // namespace
}  // namespace tabwright
