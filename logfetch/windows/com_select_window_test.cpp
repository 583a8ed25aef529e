#include "logfetch/windows/com_select_window.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "common/widgets/port_listing_delegate.h"
#include "logfetch/testing/bin_builder.h"
#include "serial/qt_serial_port.h"
#include "testing/port_holder.h"
#include "testing/port_mapping.h"
#include "testing/pty_instrument.h"
#include "testing/scripted_prompter.h"
#include "testing/temp_folder.h"
#include "testing/widgets/modal_script.h"
#include "testing/widgets/modal_watchdog.h"
#include "testing/widgets/named_control.h"
#include "testing/widgets/qt_application.h"

namespace logfetch {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr char kNoDevice[] = "/dev/no-such-serial-device";

class ComSelectWindowTest : public ::testing::Test {
protected:
    // COM1 to COM3 are pseudo-terminals, COM4 and COM5 have no device.
    ComSelectWindowTest()
    {
        for (int number = 1; number <= 3; ++number)
            mapping.map(number, ptys[number - 1].devicePath());
        mapping.map(4, kNoDevice);
        mapping.map(5, kNoDevice);
    }

    QComboBox& combo() { return control<QComboBox>("cboPortOptions"); }

    template <typename Control>
    Control& control(const char* name)
    {
        return testing_support::namedControl<Control>(window, name);
    }

    std::vector<std::string> items()
    {
        std::vector<std::string> texts;
        for (int i = 0; i < combo().count(); ++i)
            texts.push_back(combo().itemText(i).toStdString());
        return texts;
    }

    // What the opened list shows for an item.
    std::string listing(int item)
    {
        EXPECT_NE(dynamic_cast<common::PortListingDelegate*>(combo().itemDelegate()), nullptr);
        return common::PortListingDelegate::shownText(combo().model()->index(item, 0)).toStdString();
    }

    std::string text() { return combo().currentText().toStdString(); }

    void type(const char* typed)
    {
        combo().lineEdit()->clear();
        QTest::keyClicks(combo().lineEdit(), QString::fromLatin1(typed));
    }

    void clickOk() { QTest::mouseClick(&control<QPushButton>("cmdOK"), Qt::LeftButton); }

    // Whether another port object can open COMn now (a port left open
    // anywhere, also by the probe, makes it busy).
    static bool freeNow(int number)
    {
        serial::QtSerialPort other;
        other.setPortNumber(number);
        try {
            other.open();
        } catch (const serial::PortError&) {
            return false;
        }
        return other.isOpen();
    }

    std::string cfg() const
    {
        const std::string path = programFolder.file("serialport.cfg");
        return std::filesystem::exists(path) ? testing_support::readFile(path) : std::string("(none)");
    }

    void saveCfg(const std::string& text)
    {
        testing_support::writeFile(programFolder.file("serialport.cfg"),
                                   testing_support::Bytes(text.begin(), text.end()));
    }

    // Shows the dialog until it closes; every scripted step must have run.
    void show()
    {
        window.ShowForm();
        EXPECT_EQ(script.stepsLeft(), 0U) << "steps left when the dialog closed";
        EXPECT_FALSE(window.isVisible());
        EXPECT_FALSE(probePort.isOpen());
    }

    QApplication& app = testing_support::application();
    testing_support::TemporaryPortMapping mapping;
    testing_support::PtyInstrument ptys[3];
    testing_support::TempFolder programFolder;
    serial::QtSerialPort probePort;
    testing_support::ScriptedPrompter prompter;
    frmComSelect window{probePort, prompter, programFolder.path()};
    testing_support::ModalWatchdog watchdog;
    testing_support::ModalScript script;
};

TEST_F(ComSelectWindowTest, ShowsTheDesignTextsAtTheDesignPlacesCentred)
{
    script.then("frmComSelect", [&](QWidget& shown) {
        EXPECT_EQ(shown.windowTitle(), "Serial / COM Port Selection");
        auto& label2 = control<QLabel>("Label2");
        auto& label1 = control<QLabel>("Label1");
        EXPECT_EQ(label2.text(),
                  "This application communicates to the Data Logger Instrument through a serial (COM) port.");
        EXPECT_EQ(label1.text(),
                  "Select which serial communications (COM) port this application should use:");
        EXPECT_EQ(control<QPushButton>("cmdOK").text(), "OK");
        EXPECT_TRUE(control<QPushButton>("cmdOK").isDefault());
        EXPECT_TRUE(combo().isEditable());

        // 15 twips to the pixel; labels as wide as their text, inside the window.
        EXPECT_EQ(label2.pos(), QPoint(16, 16));
        EXPECT_EQ(label1.pos(), QPoint(16, 48));
        EXPECT_GE(label2.width(), label2.sizeHint().width());
        EXPECT_LE(label2.geometry().right(), shown.width() - 16);
        EXPECT_EQ(combo().geometry().topLeft(), QPoint(176, 72));
        EXPECT_EQ(combo().width(), 97);
        EXPECT_EQ(control<QPushButton>("cmdOK").geometry().topLeft(), QPoint(176, 112));
        EXPECT_EQ(control<QPushButton>("cmdOK").width(), 97);
        EXPECT_GE(shown.width(), 446);
        EXPECT_EQ(shown.height(), 150);

        const QPoint screenCentre = QGuiApplication::primaryScreen()->geometry().center();
        // Within the window frame's few pixels, which are not known before it shows.
        const QPoint offCentre = shown.frameGeometry().center() - screenCentre;
        EXPECT_LE(std::abs(offCentre.x()), 3);
        EXPECT_LE(std::abs(offCentre.y()), 3);
        QTest::keyClick(&shown, Qt::Key_Escape);
    });
    show();
    EXPECT_EQ(cfg(), "(none)");
}

TEST_F(ComSelectWindowTest, OffersTheFreePortsWithTheirDevicesLeavesABusyOneOutAndClosesThemAll)
{
    testing_support::PortHolder otherProgram(2);
    script.then("frmComSelect", [&](QWidget&) {
        EXPECT_THAT(items(), ElementsAre("1", "3"));
        EXPECT_EQ(listing(0), "COM 1  " + ptys[0].devicePath());
        EXPECT_EQ(listing(1), "COM 3  " + ptys[2].devicePath());
        EXPECT_EQ(text(), "1");  // nothing saved
        EXPECT_TRUE(freeNow(1) && freeNow(3)) << "the probe left a port open";
        EXPECT_FALSE(freeNow(2));

        combo().setCurrentIndex(1);
        EXPECT_EQ(text(), "3") << "choosing an item takes its bare number";
        clickOk();
    });
    show();
    EXPECT_EQ(cfg(), "3\r\n");
    EXPECT_THAT(prompter.messages, IsEmpty());
    EXPECT_TRUE(freeNow(1) && freeNow(3));
}

TEST_F(ComSelectWindowTest, ASavedPortIsShownAlsoWhenNotOfferedAndOkWritesItBack)
{
    saveCfg("7\r\n");
    script.then("frmComSelect", [&](QWidget&) {
        EXPECT_THAT(items(), ElementsAre("1", "2", "3"));
        EXPECT_EQ(text(), "7");
        EXPECT_EQ(combo().currentIndex(), -1);
        clickOk();
    });
    show();
    EXPECT_EQ(cfg(), "7\r\n");

    // No port free at all: the list is empty, the saved text still shows.
    for (int number = 1; number <= 3; ++number)
        mapping.map(number, kNoDevice);
    saveCfg("2,from an older setup\r\n");
    script.then("frmComSelect", [&](QWidget&) {
        EXPECT_THAT(items(), IsEmpty());
        EXPECT_EQ(text(), "2");
        clickOk();
    });
    show();
    EXPECT_EQ(cfg(), "2\r\n");
}

TEST_F(ComSelectWindowTest, ATypedPortReplacesTheWholeFileWithItsSingleLine)
{
    saveCfg("3\r\nan old second line\r\n");
    script.then("frmComSelect", [&](QWidget&) {
        EXPECT_EQ(text(), "3");
        EXPECT_EQ(combo().currentIndex(), 2);
        type("4");
        QTest::keyClick(combo().lineEdit(), Qt::Key_Return);  // the default button
    });
    show();
    EXPECT_EQ(cfg(), "4\r\n");
    EXPECT_THAT(items(), ElementsAre("1", "2", "3")) << "typed text is no new item";
}

TEST_F(ComSelectWindowTest, AClearedTextKeepsTheOldFile)
{
    saveCfg("5,kept as it is\r\n");
    script.then("frmComSelect", [&](QWidget&) {
        type("");
        clickOk();
    });
    show();
    script.then("frmComSelect", [&](QWidget&) {
        type("   ");
        clickOk();
    });
    show();
    EXPECT_EQ(cfg(), "5,kept as it is\r\n");
    EXPECT_THAT(prompter.messages, IsEmpty());
}

TEST_F(ComSelectWindowTest, TextThatIsNoPortNumberIsToldAndChangesNothing)
{
    saveCfg("2\r\n");
    script.then("frmComSelect", [&](QWidget& shown) {
        type("COM3");
        clickOk();
        type("17");
        clickOk();
        EXPECT_TRUE(shown.isVisible());
        EXPECT_EQ(cfg(), "2\r\n");
        type(" 05 ");
        clickOk();
    });
    show();
    EXPECT_THAT(prompter.messages,
                ElementsAre("\"COM3\" is not a COM port number.  Please enter a number from 1 to 16.",
                            "\"17\" is not a COM port number.  Please enter a number from 1 to 16."));
    EXPECT_EQ(cfg(), "5\r\n");
}

TEST_F(ComSelectWindowTest, EachOpeningProbesAndReadsAfresh)
{
    script.then("frmComSelect", [&](QWidget&) {
        EXPECT_THAT(items(), ElementsAre("1", "2", "3"));
        type("2");
        clickOk();
    });
    show();

    mapping.map(1, kNoDevice);
    testing_support::PortHolder otherProgram(3);
    script.then("frmComSelect", [&](QWidget& shown) {
        EXPECT_THAT(items(), ElementsAre("2"));
        EXPECT_EQ(listing(0), "COM 2  " + ptys[1].devicePath());
        EXPECT_EQ(text(), "2");
        QTest::keyClick(&shown, Qt::Key_Escape);
    });
    show();
    EXPECT_EQ(cfg(), "2\r\n");
}

TEST_F(ComSelectWindowTest, AFileThatCannotBeWrittenIsToldAndTheDialogCloses)
{
    const std::string gone = programFolder.file("gone");
    frmComSelect elsewhere(probePort, prompter, gone);
    script.then("frmComSelect", [&](QWidget& shown) {
        EXPECT_EQ(shown.findChild<QComboBox*>("cboPortOptions")->currentText(), "1");
        QTest::mouseClick(shown.findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    });
    elsewhere.ShowForm();
    EXPECT_FALSE(elsewhere.isVisible());
    EXPECT_THAT(prompter.messages,
                ElementsAre("The serial port choice could not be saved in " + gone + "/serialport.cfg."));
}

}  // namespace
}  // namespace logfetch
