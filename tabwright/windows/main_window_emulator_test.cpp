// The emulator window opened from the real main window, feeding a running capture that
// writes into the recording spreadsheet. The emulator's output timer is stopped and its pace
// follows a clock of the test's; the tests make each output by moving that clock and
// ticking the pace, and let the main window's own 100 ms tick take it.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/widgets/bgr_colour.h"
#include "serial/qt_serial_port.h"
#include "tabwright/capture/capture_settings.h"
#include "tabwright/files/ini_settings_store.h"
#include "tabwright/files/kernel_version_query.h"
#include "tabwright/testing/machine_choice.h"
#include "tabwright/testing/manual_steady_clock.h"
#include "tabwright/testing/recording_spreadsheet_factory.h"
#include "tabwright/windows/emulator_window_slot.h"
#include "tabwright/windows/main_window.h"
#include "testing/event_loop.h"
#include "testing/port_mapping.h"
#include "testing/pty_instrument.h"
#include "testing/scripted_prompter.h"
#include "testing/temp_folder.h"
#include "testing/widgets/modal_watchdog.h"
#include "testing/widgets/named_control.h"
#include "testing/widgets/qt_application.h"

namespace tabwright {
namespace {

using namespace std::chrono_literals;
using testing_support::namedControl;

// What stands behind the COM port number of the settings.
enum class SerialDevice {
    PtyAsCom1,  // COM 1 is a pseudo-terminal
    // A PC without serial ports: no mapping file and COM 16, which no device stands behind.
    None,
};

class EmulatorFixture : public testing::Test {
protected:
    explicit EmulatorFixture(SerialDevice device)
    {
        if (device == SerialDevice::PtyAsCom1)
            mapping.map(1, instrument.devicePath());
        else
            writeCaptureSettings(settings, CaptureSettings{16, false, "", true});
        window = std::make_unique<frmMain>(
            MainWindowParts{spreadsheets, port, handover, clock, settings, platform, prompter, data.path()});
        slot.attachTo(*window);
        window->show();
    }
    ~EmulatorFixture() override { window->close(); }

    // "Emulator" in the Tools menu; the emulator's own timer is held so that each test
    // decides when an output is made.
    frmEmulation& openEmulator()
    {
        namedControl<QAction>(*window, "mnuToolsDLREmulation").trigger();
        frmEmulation* emulator = slot.window();
        if (emulator == nullptr)
            throw std::runtime_error("the Emulator entry opened no window");
        namedControl<QTimer>(*emulator, "Timer2").stop();
        return *emulator;
    }
    template <typename Control>
    Control& emulatorControl(const char* name)
    {
        return namedControl<Control>(*slot.window(), name);
    }
    void chooseMachine(const char* machine) { testing_support::chooseMachine(*slot.window(), machine); }

    void start()
    {
        QTest::mouseClick(&namedControl<QPushButton>(*window, "cmdStart"), Qt::LeftButton);
        ASSERT_EQ(window->run().state(), RunState::Running);
    }
    // One output's time passes and the emulator's pace says it.
    void speak()
    {
        paceClock.advance(EmulatorPacer::kOutputInterval);
        slot.window()->outputTimer_Timer();
    }
    // One output of the emulator, taken by the capture at its next tick.
    void emulatorOutput()
    {
        speak();
        ASSERT_TRUE(testing_support::runEventsUntil([&] { return handover.pendingText().empty(); }, 10s));
    }

    std::size_t cellCount() { return spreadsheets.last().cells.size(); }
    std::string cell(int row, int column)
    {
        const auto& cells = spreadsheets.last().cells;
        const auto found = cells.find({row, column});
        return found == cells.end() ? "(empty)" : std::get<std::string>(found->second);
    }
    std::string status() { return namedControl<QLabel>(*window, "panStatus").text().toStdString(); }
    std::string label(const char* name) { return namedControl<QLabel>(*window, name).text().toStdString(); }
    QColor lamp(const char* name)
    {
        return namedControl<QWidget>(*window, name).palette().color(QPalette::Window);
    }

    QApplication& app = testing_support::application();
    testing_support::TemporaryPortMapping mapping;  // also the settings' folder
    testing_support::TempFolder data;               // the journals
    testing_support::PtyInstrument instrument;
    serial::QtSerialPort port;
    testing_support::RecordingSpreadsheetFactory spreadsheets;
    EmulatedInstruments instruments;
    EmulatorSource handover;
    SystemTimeOfDay clock;
    IniSettingsStore settings;
    KernelVersionQuery platform;
    testing_support::ScriptedPrompter prompter;
    testing_support::ModalWatchdog watchdog;
    testing_support::ManualSteadyClock paceClock;
    EmulatorWindowSlot slot{instruments, handover, prompter, &paceClock};
    std::unique_ptr<frmMain> window;
};

// Start opens no port while the emulator is open; COM 1 is there for the tests that read it.
class MainWindowEmulatorTest : public EmulatorFixture {
protected:
    MainWindowEmulatorTest() : EmulatorFixture(SerialDevice::PtyAsCom1) {}
};

TEST_F(MainWindowEmulatorTest, K7rxLinesReachTheCellsAndThePortWaits)
{
    openEmulator();
    QTest::keyClicks(&emulatorControl<QLineEdit>("txtIndex"), QStringLiteral("42"));
    start();
    instrument.send("PORT\r\n");
    emulatorOutput();
    emulatorOutput();
    // Every limit is 50 after loading, so each reading is 50.
    for (int row : {1, 2}) {
        EXPECT_EQ(cell(row, 2), "0042") << row;
        EXPECT_EQ(cell(row, 5), "50") << row;
        EXPECT_EQ(cell(row, 6), "(RAW)") << row;
        EXPECT_EQ(cell(row, 7), "50") << row;
        EXPECT_EQ(cell(row, 8), "(C)") << row;
    }
    EXPECT_EQ(cellCount(), 16u);
    const std::string line = emulatorControl<QLabel>("lblNextEmulatorOutput").text().toStdString();
    EXPECT_EQ(status(), "Bytes Received: " + std::to_string(2 * (line.size() + 2)));
    testing_support::runEventsFor(300ms);
    EXPECT_EQ(cellCount(), 16u) << "the port was read while the emulator was open";
}

TEST_F(MainWindowEmulatorTest, EveryOutputSaidDuringAPauseReachesTheSheetAtResume)
{
    openEmulator();
    start();
    emulatorOutput();
    ASSERT_EQ(cellCount(), 8u);
    QTest::mouseClick(&namedControl<QPushButton>(*window, "cmdPause"), Qt::LeftButton);
    ASSERT_EQ(window->run().state(), RunState::Paused);
    for (int output = 0; output < 3; ++output)
        speak();
    QTest::mouseClick(&namedControl<QPushButton>(*window, "cmdResume"), Qt::LeftButton);
    ASSERT_TRUE(testing_support::runEventsUntil([&] { return cellCount() == 32; }, 10s)) << cellCount();
    for (int row = 1; row <= 4; ++row)
        EXPECT_EQ(cell(row, 6), "(RAW)") << row;
}

TEST_F(MainWindowEmulatorTest, EveryOutputSaidWhileTheWorkbookOpensReachesTheSheet)
{
    openEmulator();
    // The emulator speaks twice while Start makes the spreadsheet and opens the workbook.
    spreadsheets.prepare = [this](testing_support::RecordingSpreadsheet&) {
        speak();
        speak();
    };
    start();
    ASSERT_TRUE(testing_support::runEventsUntil([&] { return cellCount() == 16; }, 10s)) << cellCount();
    for (int row = 1; row <= 2; ++row)
        EXPECT_EQ(cell(row, 6), "(RAW)") << row;
}

// No serial device at all: no mapping file, and COM 16, which nothing stands behind.
class NoSerialPortTest : public EmulatorFixture {
protected:
    NoSerialPortTest() : EmulatorFixture(SerialDevice::None) {}
};

TEST_F(NoSerialPortTest, StartWithTheEmulatorOpenRunsAndShowsWhatFeedsIt)
{
    EXPECT_EQ(label("lblComPort"), "CO&M 16");
    openEmulator();
    EXPECT_EQ(label("lblComPort"), "E&mulator");
    start();
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(lamp("panComPort"), common::colourFromBgr(65280));
    emulatorOutput();
    EXPECT_EQ(cellCount(), 8u);

    // Closing the emulator ends what fed the run: it pauses and tells why.
    slot.window()->close();
    EXPECT_EQ(window->run().state(), RunState::Paused);
    EXPECT_EQ(window->run().picture().reason, std::string(kEmulatorClosedReason) + " Then press Resume.");
    EXPECT_TRUE(namedControl<QLabel>(*window, "lblStatusReason").isVisible());
    EXPECT_EQ(lamp("panComPort"), common::colourFromBgr(255));
    EXPECT_EQ(label("lblComPort"), "CO&M 16");

    // Resume without the emulator tries the port, which is not there.
    QTest::mouseClick(&namedControl<QPushButton>(*window, "cmdResume"), Qt::LeftButton);
    EXPECT_EQ(window->run().state(), RunState::Paused);
    EXPECT_THAT(window->run().picture().reason,
                testing::StartsWith("No serial device is connected as COM16"));

    openEmulator();
    QTest::mouseClick(&namedControl<QPushButton>(*window, "cmdResume"), Qt::LeftButton);
    ASSERT_EQ(window->run().state(), RunState::Running);
    EXPECT_EQ(lamp("panComPort"), common::colourFromBgr(65280));
    emulatorOutput();
    EXPECT_EQ(cellCount(), 16u);
    EXPECT_FALSE(port.isOpen());
}

TEST_F(MainWindowEmulatorTest, MachinesNotEmulatedSendNothingNew)
{
    openEmulator();
    start();
    emulatorOutput();
    const std::string counted = status();
    for (const char* machine : {"VQ-610", "VQ-150"}) {
        chooseMachine(machine);
        speak();
        speak();
        testing_support::runEventsFor(300ms);
        EXPECT_EQ(cellCount(), 8u) << machine;
        EXPECT_EQ(status(), counted) << machine;
    }
    EXPECT_EQ(prompter.messages, (std::vector<std::string>{"The VQ-610 machine is not currently emulated",
                                                           "The VQ-150 machine is not currently emulated"}));
}

TEST_F(MainWindowEmulatorTest, AReopenedWindowHandsOverTheOutputLeftPending)
{
    openEmulator();
    QTest::keyClicks(&emulatorControl<QLineEdit>("txtIndex"), QStringLiteral("7"));
    speak();  // no capture runs: the output stays pending
    slot.window()->close();
    EXPECT_FALSE(handover.isOn());
    ASSERT_FALSE(handover.pendingText().empty());

    // With the window closed the capture reads the port and leaves the pending text.
    start();
    instrument.send("1\t2\r\n");
    ASSERT_TRUE(testing_support::runEventsUntil([&] { return cellCount() == 2; }, 10s));
    EXPECT_EQ(cell(1, 1), "1");
    EXPECT_FALSE(handover.pendingText().empty());

    openEmulator();
    EXPECT_EQ(emulatorControl<QLineEdit>("txtIndex").text(), "0000");
    ASSERT_TRUE(testing_support::runEventsUntil([&] { return cellCount() == 10; }, 10s));
    EXPECT_EQ(cell(2, 2), "0007");
    EXPECT_TRUE(handover.pendingText().empty());
}

TEST_F(MainWindowEmulatorTest, InjectSingleTabActsOnOneOutputAndClearsTheBox)
{
    openEmulator();
    chooseMachine("VQ-480");
    start();
    emulatorOutput();  // a fresh VQ-480 begins with a block separator: column 2, time in row 1
    ASSERT_EQ(cellCount(), 1u);
    const double hours = std::get<double>(spreadsheets.last().cells.at({1, 2}));
    EXPECT_TRUE(hours >= 0 && hours < 24) << hours;
    auto& inject = emulatorControl<QCheckBox>("chkInjectTab");
    inject.click();
    ASSERT_TRUE(handover.injectingSingleTab());
    emulatorOutput();
    EXPECT_FALSE(inject.isChecked());
    EXPECT_FALSE(handover.injectingSingleTab());
    emulatorOutput();
    EXPECT_EQ(cell(2, 2), "9999");
    EXPECT_EQ(cell(2, 3), "10000");
    EXPECT_EQ(cell(3, 2), "9999");
    EXPECT_EQ(cell(3, 3), "(empty)");
}

TEST_F(MainWindowEmulatorTest, OneWindowBesideTheMainWindowBroughtBackByTheMenu)
{
    frmEmulation& emulator = openEmulator();
    EXPECT_EQ(emulator.x(), window->frameGeometry().right() + 2);
    EXPECT_EQ(emulator.y(), window->frameGeometry().top());
    emulator.showMinimized();
    openEmulator();
    EXPECT_EQ(slot.window(), &emulator);
    EXPECT_TRUE(emulator.isVisible());
    EXPECT_FALSE(emulator.isMinimized());
}

TEST_F(MainWindowEmulatorTest, ReopenedBeforeTheClosedWindowIsDeletedStaysOpen)
{
    frmEmulation* closed = &openEmulator();
    closed->close();
    openEmulator();
    EXPECT_NE(slot.window(), closed);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_NE(slot.window(), nullptr);
    EXPECT_TRUE(slot.window()->isVisible());
    EXPECT_TRUE(handover.isOn());
}

// Counts the times a window is raised.
class RaiseCounter : public QObject {
public:
    int raised = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        raised += event->type() == QEvent::ZOrderChange ? 1 : 0;
        return false;
    }
};

TEST_F(MainWindowEmulatorTest, StartBringsTheEmulatorWindowToTheFrontToo)
{
    frmEmulation& emulator = openEmulator();
    RaiseCounter counter;
    emulator.installEventFilter(&counter);
    start();
    EXPECT_GE(counter.raised, 1);
}

TEST_F(MainWindowEmulatorTest, ClosingTheMainWindowClosesTheEmulatorWindow)
{
    openEmulator();
    start();
    QTest::mouseClick(&namedControl<QPushButton>(*window, "cmdClose"), Qt::LeftButton);
    EXPECT_EQ(slot.window(), nullptr);
    EXPECT_FALSE(handover.isOn());
    EXPECT_EQ(window->run().state(), RunState::Stopped);
}

}  // namespace
}  // namespace tabwright
