// The emulator window opened from the real main window, feeding a running capture that
// writes into the recording spreadsheet. The emulator's 250 ms timer is stopped; the tests
// make each output with outputTimer_Timer() and let the main window's own 100 ms tick take it.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "serial/qt_serial_port.h"
#include "tabwright/capture/ini_settings_store.h"
#include "tabwright/testing/machine_choice.h"
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

class MainWindowEmulatorTest : public testing::Test {
protected:
    // COM 1 is a pseudo-terminal: Start opens the port even while the emulator feeds the
    // capture.
    MainWindowEmulatorTest()
    {
        mapping.map(1, instrument.devicePath());
        window = std::make_unique<frmMain>(
            MainWindowParts{spreadsheets, port, handover, clock, settings, platform, prompter, data.path()});
        slot.attachTo(*window);
        window->show();
    }
    ~MainWindowEmulatorTest() override { window->close(); }

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
    // One output of the emulator, taken by the capture at its next tick.
    void emulatorOutput()
    {
        slot.window()->outputTimer_Timer();
        ASSERT_TRUE(testing_support::runEventsUntil([&] { return handover.pendingOutput().empty(); }, 10s));
    }

    std::size_t cellCount() { return spreadsheets.last().cells.size(); }
    std::string cell(int row, int column)
    {
        const auto& cells = spreadsheets.last().cells;
        const auto found = cells.find({row, column});
        return found == cells.end() ? "(empty)" : std::get<std::string>(found->second);
    }
    std::string status() { return namedControl<QLabel>(*window, "panStatus").text().toStdString(); }

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
    EmulatorWindowSlot slot{instruments, handover, prompter};
    std::unique_ptr<frmMain> window;
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

TEST_F(MainWindowEmulatorTest, MachinesNotEmulatedSendNothingNew)
{
    openEmulator();
    start();
    emulatorOutput();
    const std::string counted = status();
    for (const char* machine : {"VQ-610", "VQ-150"}) {
        chooseMachine(machine);
        slot.window()->outputTimer_Timer();
        slot.window()->outputTimer_Timer();
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
    slot.window()->outputTimer_Timer();  // no capture runs: the output stays pending
    slot.window()->close();
    EXPECT_FALSE(handover.isOpen());
    ASSERT_FALSE(handover.pendingOutput().empty());

    // With the window closed the capture reads the port and leaves the pending text.
    start();
    instrument.send("1\t2\r\n");
    ASSERT_TRUE(testing_support::runEventsUntil([&] { return cellCount() == 2; }, 10s));
    EXPECT_EQ(cell(1, 1), "1");
    EXPECT_FALSE(handover.pendingOutput().empty());

    openEmulator();
    EXPECT_EQ(emulatorControl<QLineEdit>("txtIndex").text(), "0000");
    ASSERT_TRUE(testing_support::runEventsUntil([&] { return cellCount() == 10; }, 10s));
    EXPECT_EQ(cell(2, 2), "0007");
    EXPECT_TRUE(handover.pendingOutput().empty());
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
    EXPECT_TRUE(handover.isOpen());
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
    EXPECT_FALSE(handover.isOpen());
    EXPECT_EQ(window->run().state(), RunState::Stopped);
}

}  // namespace
}  // namespace tabwright
