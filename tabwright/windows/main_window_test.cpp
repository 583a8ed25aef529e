#include "tabwright/windows/main_window.h"

#include <QAction>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QFrame>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <QUrl>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>

#include "common/widgets/bgr_colour.h"
#include "common/widgets/elided_label.h"
#include "common/widgets/readings_chart.h"
#include "serial/qt_serial_port.h"
#include "tabwright/capture/digit_grouping.h"
#include "tabwright/files/ini_settings_store.h"
#include "tabwright/files/kernel_version_query.h"
#include "tabwright/files/workbook_files.h"
#include "tabwright/testing/recording_spreadsheet_factory.h"
#include "tabwright/windows/readings_chart_menu.h"
#include "tabwright/windows/readings_chart_window.h"
#include "testing/event_loop.h"
#include "testing/file_contents.h"
#include "testing/port_mapping.h"
#include "testing/pty_instrument.h"
#include "testing/scripted_prompter.h"
#include "testing/temp_folder.h"
#include "testing/widgets/modal_script.h"
#include "testing/widgets/modal_watchdog.h"
#include "testing/widgets/named_control.h"
#include "testing/widgets/qt_application.h"
#include "testing/widgets/scripted_file_dialog.h"

namespace tabwright {
namespace {

using namespace std::chrono_literals;
using testing::Contains;
using testing::Not;

constexpr int kInstrumentPort = 3;
constexpr unsigned kDesign = 0xC0C0C0;
constexpr unsigned kYellow = 65535;
constexpr unsigned kGreen = 65280;
constexpr unsigned kRed = 255;
constexpr unsigned kContainer = 0xFFFFFFFF;  // the lamp's container's colour, not a lamp colour
constexpr char kK7rxLine[] = "0 0000 :: 12-07-2026 05:10:26 = 57 (RAW)  43 (C)\r\n";

class MainWindowTest : public testing::Test {
protected:
    // COM 3 is the instrument; the settings live in the mapping's configuration folder.
    MainWindowTest()
    {
        mapping.map(kInstrumentPort, instrument.devicePath());
        write("Communication", "ComPort", std::to_string(kInstrumentPort));
    }
    ~MainWindowTest() override
    {
        if (window)
            window->close();
    }

    void write(const char* section, const char* key, const std::string& value)
    {
        settings.write("Tabwright", section, key, value);
    }
    std::string stored(const char* section, const char* key)
    {
        return settings.read("Tabwright", section, key).value_or("(none)");
    }

    frmMain& open()
    {
        window = std::make_unique<frmMain>(
            MainWindowParts{spreadsheets, port, handover, clock, settings, platform, prompter, data.path()});
        window->show();
        return *window;
    }

    template <typename Control>
    Control& control(const char* name)
    {
        return testing_support::namedControl<Control>(*window, name);
    }
    void click(const char* name) { QTest::mouseClick(&control<QPushButton>(name), Qt::LeftButton); }
    bool enabled(const char* name) { return control<QPushButton>(name).isEnabled(); }
    // Of Pause and Resume, the one drawn over the other.
    bool inFront(const char* name)
    {
        QWidget& button = control<QPushButton>(name);
        const QObjectList siblings = button.parentWidget()->children();
        const char* other = std::string_view(name) == "cmdPause" ? "cmdResume" : "cmdPause";
        return siblings.indexOf(&button) > siblings.indexOf(&control<QPushButton>(other));
    }
    QColor lamp(const char* name) { return control<QFrame>(name).palette().color(QPalette::Window); }
    QColor colour(unsigned bgr) { return bgr == kContainer ? containerColour() : common::colourFromBgr(bgr); }
    QColor containerColour()
    {
        const auto& frame = control<QGroupBox>("fraStatus");
        return frame.palette().color(frame.backgroundRole());
    }
    std::string status() { return control<QLabel>("panStatus").text().toStdString(); }

    void sendAndWaitForCells(const std::string& text, std::size_t cells)
    {
        instrument.send(text);
        ASSERT_TRUE(
            testing_support::runEventsUntil([&] { return spreadsheets.last().cells.size() >= cells; }, 10s))
            << "cells written: " << spreadsheets.last().cells.size();
    }
    std::string cell(int row, int column)
    {
        return std::get<std::string>(spreadsheets.last().cells.at({row, column}));
    }

    // The buttons as {Start, Stop, Pause, Resume, port "..."} enabled, and Pause in front.
    void expectButtons(std::array<bool, 5> states, bool pauseInFront)
    {
        EXPECT_EQ(enabled("cmdStart"), states[0]);
        EXPECT_EQ(enabled("cmdStop"), states[1]);
        EXPECT_EQ(enabled("cmdPause"), states[2]);
        EXPECT_EQ(enabled("cmdResume"), states[3]);
        EXPECT_EQ(enabled("cmdComPorts"), states[4]);
        EXPECT_EQ(inFront("cmdPause"), pauseInFront);
    }

    QApplication& app = testing_support::application();
    testing_support::TemporaryPortMapping mapping;
    testing_support::TempFolder data;  // the per-user data folder: the journals
    testing_support::PtyInstrument instrument;
    serial::QtSerialPort port;
    testing_support::RecordingSpreadsheetFactory spreadsheets;
    EmulatorSource handover;
    SystemTimeOfDay clock;
    IniSettingsStore settings;
    KernelVersionQuery platform;
    testing_support::ScriptedPrompter prompter;
    testing_support::ModalWatchdog watchdog;
    // Steps in a thread of their own, for the tests that let Start and the macro run as the
    // program does; kept until the window has closed.
    ThreadStep slowSteps;
    std::unique_ptr<frmMain> window;
};

TEST_F(MainWindowTest, ControlsCaptionsAndPlace)
{
    open();
    EXPECT_EQ(window->windowTitle(), "Tabwright  v1.0.0");
    EXPECT_EQ(control<QGroupBox>("fraStatus").title(), "Status");
    const std::pair<const char*, const char*> buttons[] = {
        {"cmdComPorts", "..."},   {"cmdExcelMacro", "..."}, {"cmdStart", "&Start"}, {"cmdPause", "&Pause"},
        {"cmdResume", "&Resume"}, {"cmdStop", "S&top"},     {"cmdClose", "&Close"}};
    for (const auto& [name, caption] : buttons)
        EXPECT_EQ(control<QPushButton>(name).text(), caption) << name;
    EXPECT_EQ(control<QLabel>("lblComPort").text(), "CO&M 3");
    EXPECT_EQ(control<QLabel>("lblExcel").text(), "MS E&XCEL");
    EXPECT_FALSE(control<QLabel>("imgComPort").pixmap().isNull());
    EXPECT_FALSE(control<QLabel>("imgExcel").pixmap().isNull());
    EXPECT_EQ(status(), "");
    for (const char* name : {"panComPort", "panExcel"})
        EXPECT_EQ(lamp(name), common::colourFromBgr(kDesign)) << name;
    const std::pair<const char*, const char*> menus[] = {{"mnuToolsDLREmulation", "&Emulator"},
                                                         {"mnuHelpAbout", "&About..."}};
    for (const auto& [name, caption] : menus)
        EXPECT_EQ(control<QAction>(name).text(), caption) << name;
    EXPECT_EQ(control<QMenu>("mnuTools").title(), "T&ools");
    EXPECT_EQ(control<QMenu>("mnuHelp").title(), "&Help");
    EXPECT_EQ(control<QTimer>("tmrMain").interval(), 100);
    // At design every button is enabled.
    expectButtons({true, true, true, true, true}, true);

    const QRect screen = window->screen()->geometry();
    EXPECT_EQ(window->x(), screen.left());
    EXPECT_EQ(window->y(), screen.top() + (screen.height() - window->height()) / 4);
}

TEST_F(MainWindowTest, AWholeRunWithPauseResumeAndTheMacro)
{
    write("Excel Macro", "Enable", "True");
    write("Excel Macro", "Name", "ChartReadings");
    open();
    click("cmdStart");
    EXPECT_EQ(lamp("panComPort"), common::colourFromBgr(kGreen));
    EXPECT_EQ(lamp("panExcel"), common::colourFromBgr(kGreen));
    EXPECT_EQ(status(), "Ready");
    expectButtons({false, true, true, false, false}, true);
    EXPECT_TRUE(control<QTimer>("tmrMain").isActive());

    sendAndWaitForCells(kK7rxLine, 8);
    EXPECT_EQ(cell(1, 3), "12-07-2026");
    EXPECT_EQ(cell(1, 8), "(C)");
    EXPECT_EQ(status(), "Bytes Received: 50");

    click("cmdPause");
    EXPECT_EQ(lamp("panComPort"), common::colourFromBgr(kYellow));
    EXPECT_EQ(lamp("panExcel"), common::colourFromBgr(kYellow));
    EXPECT_EQ(status(), "Paused");
    expectButtons({false, true, false, true, false}, false);
    // A paused run journals what comes and writes none of it.
    instrument.send("1\t2\r\n");
    const std::string journal = window->run().journal().path();
    EXPECT_TRUE(testing_support::runEventsUntil(
        [&] { return testing_support::readFile(journal).size() == std::string(kK7rxLine).size() + 5; }));
    EXPECT_EQ(status(), "Paused");
    EXPECT_EQ(spreadsheets.last().cells.size(), 8u);

    click("cmdResume");
    EXPECT_EQ(status(), "Bytes Received: 55");
    expectButtons({false, true, true, false, false}, true);
    sendAndWaitForCells("", 10);
    EXPECT_EQ(cell(2, 1), "1");
    EXPECT_EQ(cell(2, 2), "2");

    click("cmdStop");
    EXPECT_EQ(spreadsheets.last().calls.back(), "runMacro spreadsheet.ods!ChartReadings");
    EXPECT_EQ(lamp("panComPort"), containerColour());
    EXPECT_EQ(lamp("panExcel"), containerColour());
    EXPECT_EQ(status(), "Stopped: 55 bytes, 2 rows in " + spreadsheets.workingCopy);
    expectButtons({true, false, false, false, true}, true);
    EXPECT_FALSE(control<QTimer>("tmrMain").isActive());
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(prompter.messages.empty());
}

class StartFailures;

struct StartFailure {
    const char* name;
    void (StartFailures::*arrange)();
    const char* status;
    unsigned portLamp;
    unsigned excelLamp;
    bool quit;
};

class StartFailures : public MainWindowTest, public testing::WithParamInterface<StartFailure> {
public:
    void noPort() { mapping.map(kInstrumentPort, "/dev/no-such-serial-device"); }
    void noCalc()
    {
        spreadsheets.prepare = [](auto& sheet) { sheet.failCall("openCaptureWorkbook"); };
    }
};

TEST_P(StartFailures, ShowTheFailureAndLeaveTheRunStopped)
{
    (this->*GetParam().arrange)();
    open();
    click("cmdStart");
    EXPECT_EQ(status(), GetParam().status);
    EXPECT_EQ(lamp("panComPort"), colour(GetParam().portLamp));
    EXPECT_EQ(lamp("panExcel"), colour(GetParam().excelLamp));
    EXPECT_EQ(window->run().state(), RunState::Stopped);
    // No run: Stop, Pause and Resume have nothing to act on.
    expectButtons({true, false, false, false, true}, true);
    testing_support::runEventsFor(250ms);
    EXPECT_FALSE(control<QTimer>("tmrMain").isActive());
    EXPECT_EQ(spreadsheets.last().calls.back() == "quit", GetParam().quit);
    EXPECT_EQ(window->run().application() != nullptr, !GetParam().quit);
}

INSTANTIATE_TEST_SUITE_P(MainWindow, StartFailures,
                         testing::Values(StartFailure{"Spreadsheet", &StartFailures::noCalc,
                                                      "MS Excel not available", kDesign, kRed, false},
                                         // The application the Start opened is quit again.
                                         StartFailure{"Port", &StartFailures::noPort,
                                                      "COM port not available", kRed, kContainer, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainWindowTest, AFailedStartSaysWhyUnderTheStatusLineUntilTheNextStart)
{
    spreadsheets.prepare = [](auto& sheet) { sheet.failCall("openCaptureWorkbook"); };
    open();
    auto& reason = control<QLabel>("lblStatusReason");
    EXPECT_TRUE(reason.isHidden());
    click("cmdStart");
    EXPECT_EQ(status(), "MS Excel not available");
    EXPECT_FALSE(reason.isHidden());
    EXPECT_THAT(reason.text().toStdString(), testing::StartsWith("The capture workbook "));
    EXPECT_THAT(reason.text().toStdString(), testing::EndsWith("openCaptureWorkbook failed as told"));
    EXPECT_EQ(reason.toolTip(), reason.text().remove(QChar(0x200B)));

    spreadsheets.prepare = nullptr;
    click("cmdStart");
    EXPECT_EQ(status(), "Ready");
    EXPECT_TRUE(reason.isHidden());
    EXPECT_EQ(reason.toolTip(), "");
}

TEST_F(MainWindowTest, WithCalcStartingInTheBackgroundStartShowsItsStepsAndRuns)
{
    open();
    window->runSlowStepsWith(slowSteps);
    click("cmdStart");
    // The window answers while the workbook opens; Start cannot be pressed twice.
    EXPECT_EQ(status(), "Opening MS Excel Spreadsheet");
    EXPECT_EQ(lamp("panExcel"), common::colourFromBgr(kYellow));
    EXPECT_FALSE(enabled("cmdStart"));
    ASSERT_TRUE(testing_support::runEventsUntil([&] { return status() == "Ready"; }, 10s)) << status();
    EXPECT_EQ(lamp("panComPort"), common::colourFromBgr(kGreen));
    EXPECT_EQ(lamp("panExcel"), common::colourFromBgr(kGreen));
    expectButtons({false, true, true, false, false}, true);
    sendAndWaitForCells(kK7rxLine, 8);
    window->close();
    EXPECT_THAT(spreadsheets.last().calls, Contains("quit"));
}

TEST_F(MainWindowTest, StopBeforeAnyStartShowsTheStoppedWindowAndRunsNoMacro)
{
    write("Excel Macro", "Enable", "True");
    write("Excel Macro", "Name", "ChartReadings");
    open();
    click("cmdStop");
    expectButtons({true, false, false, false, true}, true);
    EXPECT_EQ(lamp("panComPort"), containerColour());
    EXPECT_EQ(lamp("panExcel"), containerColour());
    EXPECT_TRUE(spreadsheets.made.empty());
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(MainWindowTest, ClosingWhilePausedEndsTheRunAsStopDoesWithTheMacroFirst)
{
    write("Excel Macro", "Enable", "True");
    write("Excel Macro", "Name", "ChartReadings");
    open();
    write("Excel Macro", "Enable", "(to be written at the end)");
    click("cmdStart");
    sendAndWaitForCells(kK7rxLine, 8);
    click("cmdPause");
    instrument.send("1\t2");
    ASSERT_TRUE(testing_support::runEventsUntil([&] { return instrument.waitingForProgram() == 0; }, 10s));
    click("cmdClose");
    EXPECT_FALSE(window->isVisible());
    // What came while paused is written, the unfinished line too, before the macro runs.
    EXPECT_EQ(cell(2, 2), "2");
    const auto& calls = spreadsheets.last().calls;
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[calls.size() - 2], "runMacro spreadsheet.ods!ChartReadings");
    EXPECT_EQ(calls.back(), "quit");
    EXPECT_EQ(stored("Excel Macro", "Enable"), "True");
}

// Presses Space on whatever has the keyboard focus, as a user would.
void pressSpace()
{
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClick(focus, Qt::Key_Space);
}

TEST_F(MainWindowTest, WhileARunIsOpenTheFocusIsNeverOnCloseSoASpaceCannotEndIt)
{
    open();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    // An earlier run, then Start with the mouse: the focus Start had must not go to Close.
    for (int run = 0; run < 2; ++run) {
        control<QPushButton>("cmdStart").setFocus();
        click("cmdStart");
        ASSERT_EQ(window->run().state(), RunState::Running);
        EXPECT_NE(QApplication::focusWidget(), &control<QPushButton>("cmdClose"));
        EXPECT_EQ(control<QPushButton>("cmdClose").focusPolicy(), Qt::NoFocus);
        QTest::keyClick(window.get(), Qt::Key_P, Qt::AltModifier);
        ASSERT_TRUE(
            testing_support::runEventsUntil([&] { return window->run().state() == RunState::Paused; }));
        EXPECT_NE(QApplication::focusWidget(), &control<QPushButton>("cmdClose"));
        // A Space now resumes; it never closes the window.
        ASSERT_EQ(QApplication::focusWidget(), &control<QPushButton>("cmdResume"))
            << QApplication::focusWidget()->objectName().toStdString();
        pressSpace();
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(window->run().state(), RunState::Running);
        click("cmdStop");
    }
    EXPECT_EQ(control<QPushButton>("cmdClose").focusPolicy(), Qt::StrongFocus);
}

TEST_F(MainWindowTest, EveryControlAndMenuItemHasAMnemonicOfItsOwn)
{
    open();
    // The window's own mnemonics: its buttons, the labels that lead to the "..." buttons,
    // and the menu bar's titles; each menu's items among themselves.
    std::map<QChar, QString> windowKeys;
    const auto take = [](std::map<QChar, QString>& keys, const QString& caption) {
        const qsizetype at = caption.indexOf(QLatin1Char('&'));
        ASSERT_TRUE(at >= 0 && at + 1 < caption.size()) << caption.toStdString() << " has no mnemonic";
        const QChar key = caption.at(at + 1).toUpper();
        const auto [place, added] = keys.emplace(key, caption);
        EXPECT_TRUE(added) << caption.toStdString() << " and " << place->second.toStdString() << " share Alt+"
                           << QString(key).toStdString();
    };
    for (const QPushButton* button : window->findChildren<QPushButton*>()) {
        if (button->text() != QStringLiteral("..."))
            take(windowKeys, button->text());
    }
    const QList<QLabel*> labels = window->findChildren<QLabel*>();
    for (const char* name : {"cmdComPorts", "cmdExcelMacro"}) {
        const auto found = std::ranges::find_if(
            labels, [&](const QLabel* label) { return label->buddy() == &control<QPushButton>(name); });
        ASSERT_NE(found, labels.end()) << name << " has no label leading to it";
        take(windowKeys, (*found)->text());
    }
    for (const QMenu* menu : window->findChildren<QMenu*>()) {
        take(windowKeys, menu->title());
        std::map<QChar, QString> itemKeys;
        for (const QAction* item : menu->actions())
            take(itemKeys, item->text());
    }
    EXPECT_EQ(windowKeys.size(), 9u);
}

TEST_F(MainWindowTest, AltTStopsARunAndAltOOpensTools)
{
    open();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    click("cmdStart");
    // A mnemonic of its own presses its button, where a shared one only moves the focus.
    QTest::keyClick(window.get(), Qt::Key_T, Qt::AltModifier);
    EXPECT_TRUE(testing_support::runEventsUntil([&] { return window->run().state() == RunState::Stopped; }));
    QTest::keyClick(window.get(), Qt::Key_O, Qt::AltModifier);
    EXPECT_TRUE(testing_support::runEventsUntil([&] { return control<QMenu>("mnuTools").isVisible(); }));
    control<QMenu>("mnuTools").close();
}

TEST_F(MainWindowTest, ClosingWhileRunningStopsWithTheMacroFirst)
{
    write("Excel Macro", "Enable", "True");
    write("Excel Macro", "Name", "ChartReadings");
    open();
    click("cmdStart");
    window->close();
    const auto& calls = spreadsheets.last().calls;
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[calls.size() - 2], "runMacro spreadsheet.ods!ChartReadings");
    EXPECT_EQ(calls.back(), "quit");
}

TEST_F(MainWindowTest, TwoStartsLeaveTwoInstancesAndTheEndQuitsOnlyTheLast)
{
    open();
    click("cmdStart");
    click("cmdStop");
    click("cmdStart");
    click("cmdStop");
    ASSERT_EQ(spreadsheets.made.size(), 2u);
    window->close();
    EXPECT_THAT(spreadsheets.made[0]->calls, Not(Contains("quit")));
    EXPECT_EQ(spreadsheets.made[1]->calls.back(), "quit");
}

struct Blocking {
    const char* name;
    SpreadsheetFailure failure;
    const char* status;
};

class BlockedWrites : public MainWindowTest, public testing::WithParamInterface<Blocking> {};

TEST_P(BlockedWrites, WaitForTheWorkbookAndWriteEverythingAfterwards)
{
    open();
    click("cmdStart");
    testing_support::RecordingSpreadsheet& sheet = spreadsheets.last();
    sheet.failNextCall("writeText", GetParam().failure);
    sheet.failCall("workbookName");
    instrument.send("1\r\n");
    ASSERT_TRUE(
        testing_support::runEventsUntil([&] { return status().starts_with(GetParam().status); }, 10s));
    EXPECT_EQ(lamp("panExcel"), common::colourFromBgr(kRed));
    EXPECT_FALSE(enabled("cmdPause"));
    // Nothing reaches the workbook; the journal takes it all and the count keeps growing.
    instrument.send("2\r\n3\t4\r\n");
    const std::string counted = std::string(GetParam().status) + "; Bytes Received: 11";
    ASSERT_TRUE(testing_support::runEventsUntil([&] { return status() == counted; }, 10s)) << status();
    EXPECT_TRUE(sheet.cells.empty());
    EXPECT_FALSE(control<QLabel>("lblStatusReason").isHidden());

    sheet.succeedCall("workbookName");
    sendAndWaitForCells("", 4);
    EXPECT_EQ(cell(1, 1), "1");
    EXPECT_EQ(cell(2, 1), "2");
    EXPECT_EQ(cell(3, 1), "3");
    EXPECT_EQ(cell(3, 2), "4");
    EXPECT_EQ(lamp("panExcel"), common::colourFromBgr(kGreen));
    EXPECT_TRUE(enabled("cmdPause"));
    EXPECT_EQ(status(), "Bytes Received: 11");
}

INSTANTIATE_TEST_SUITE_P(MainWindow, BlockedWrites,
                         testing::Values(Blocking{"Busy", SpreadsheetFailure::Failed, "MS Excel is blocked"},
                                         Blocking{"Closed", SpreadsheetFailure::Gone,
                                                  "MS Excel spreadsheet has been closed"},
                                         Blocking{"Ended", SpreadsheetFailure::Ended, "MS Excel has ended"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainWindowTest, SettingsAreWrittenAsTheyChangeAndReadBackAtTheStart)
{
    settings.write("Tabwright", "Communication", "ComPort", "");  // unreadable: COM 1
    open();
    EXPECT_EQ(control<QLabel>("lblComPort").text(), "CO&M 1");
    testing_support::ModalScript script;
    script.then("frmComPort", [](QWidget& dialog) {
        testing_support::namedControl<QRadioButton>(dialog, "optComPort_3").click();
        testing_support::namedControl<QPushButton>(dialog, "cmdOK").click();
    });
    script.then("frmExcelMacro", [](QWidget& dialog) {
        testing_support::namedControl<QCheckBox>(dialog, "chkExcelMacro").setChecked(true);
        testing_support::namedControl<QLineEdit>(dialog, "txtExcelMacro").setText(" Chart");
        testing_support::namedControl<QPushButton>(dialog, "cmdOK").click();
    });
    // Each setting is written as it changes: a program killed afterwards keeps it.
    click("cmdComPorts");
    EXPECT_EQ(control<QLabel>("lblComPort").text(), "CO&M 3");
    EXPECT_EQ(stored("Communication", "ComPort"), "3");
    EXPECT_EQ(stored("Excel Macro", "Enable"), "False");
    click("cmdExcelMacro");
    EXPECT_EQ(script.stepsLeft(), 0u);
    EXPECT_EQ(stored("Excel Macro", "Enable"), "True");
    EXPECT_EQ(stored("Excel Macro", "Name"), " Chart");
    window->close();
    EXPECT_EQ(stored("Communication", "ComPort"), "3");
    EXPECT_EQ(stored("Excel Macro", "Enable"), "True");
    EXPECT_EQ(stored("Excel Macro", "Name"), " Chart");

    port.setPortNumber(1);
    open();
    EXPECT_EQ(control<QLabel>("lblComPort").text(), "CO&M 3");
    EXPECT_TRUE(window->run().macroEnabled());
    EXPECT_EQ(window->run().macroName(), " Chart");
}

TEST_F(MainWindowTest, FollowingTheNewestRowIsAToolsSettingKeptAndPassedToEachStart)
{
    open();
    auto& follow = control<QAction>("mnuToolsFollowNewestRow");
    EXPECT_EQ(follow.text(), "&Follow Newest Row");
    EXPECT_TRUE(follow.isChecked()) << "on by default";
    click("cmdStart");
    EXPECT_TRUE(spreadsheets.last().following);
    follow.trigger();
    EXPECT_FALSE(spreadsheets.last().following) << "the running spreadsheet is told at once";
    EXPECT_EQ(stored("View", "FollowNewestRow"), "False") << "kept at once";
    click("cmdStop");
    click("cmdStart");
    EXPECT_FALSE(spreadsheets.last().following);
    window->close();
    EXPECT_EQ(stored("View", "FollowNewestRow"), "False");

    open();
    EXPECT_FALSE(control<QAction>("mnuToolsFollowNewestRow").isChecked());
    click("cmdStart");
    EXPECT_FALSE(spreadsheets.last().following);
}

TEST_F(MainWindowTest, ACancelledMacroDialogKeepsTheValues)
{
    open();
    testing_support::ModalScript script;
    script.then("frmExcelMacro", [](QWidget& dialog) {
        testing_support::namedControl<QCheckBox>(dialog, "chkExcelMacro").setChecked(true);
        testing_support::namedControl<QPushButton>(dialog, "cmdCancel").click();
    });
    click("cmdExcelMacro");
    EXPECT_FALSE(window->run().macroEnabled());
}

TEST_F(MainWindowTest, TheEmulatorMenuStartAndTheEndReachTheEmulatorWindow)
{
    open();
    std::vector<std::string> seen;
    window->setEmulatorWindowHooks({[&] { seen.push_back("show"); }, [&] { seen.push_back("unload"); },
                                    [&] { seen.push_back("front"); }});
    control<QAction>("mnuToolsDLREmulation").trigger();
    click("cmdStart");
    window->close();
    EXPECT_THAT(seen, testing::ElementsAre("show", "front", "unload"));
}

// K7RX-style lines whose second token is their number, from `first` on.
std::string numberedLines(int first, int count)
{
    std::string text;
    for (int line = first; line < first + count; ++line)
        text += "0 " + std::to_string(line) + " :: 12-08-2026 05:10:26 = 57 (RAW)  43 (C)\r\n";
    return text;
}

// Sends `text` while the window's events run, so a port that is not being read still
// takes every byte off the line, and returns once the program's side holds none.
void sendWithEventsRunning(testing_support::PtyInstrument& instrument, std::string_view text)
{
    while (!text.empty()) {
        text.remove_prefix(instrument.trySend(text));
        testing_support::runEventsFor(5ms);
    }
    ASSERT_TRUE(testing_support::runEventsUntil([&] { return instrument.waitingForProgram() == 0; }, 10s));
}

TEST_F(MainWindowTest, StopWritesABacklogAndTheUnfinishedLineFromThePort)
{
    open();
    click("cmdStart");
    sendAndWaitForCells(numberedLines(1, 1), 8);
    // Paused, the text piles up in the port; Stop takes it all, the last line unfinished.
    click("cmdPause");
    const std::string backlog = numberedLines(2, 3000) + "last\t7";
    sendWithEventsRunning(instrument, backlog);
    click("cmdStop");
    // A backlog larger than one tick's writing is written over the next ticks.
    ASSERT_TRUE(testing_support::runEventsUntil([&] { return !window->run().stopping(); }, 60s));
    EXPECT_EQ(cell(3001, 2), "3001");
    EXPECT_EQ(cell(3002, 1), "last");
    EXPECT_EQ(cell(3002, 2), "7");
    EXPECT_THAT(status(),
                testing::StartsWith("Stopped: " + groupedDigits((numberedLines(1, 1) + backlog).size()) +
                                    " bytes, 3,002 rows in "));
    EXPECT_EQ(testing_support::readFile(window->run().journal().path()), numberedLines(1, 1) + backlog);
}

TEST_F(MainWindowTest, APulledCablePausesAndResumeCarriesOnWithTheCablePluggedBack)
{
    open();
    click("cmdStart");
    sendWithEventsRunning(instrument, "1\r\n2");
    instrument.pullCable();
    ASSERT_TRUE(testing_support::runEventsUntil([&] { return status() == "COM port not available"; }, 10s))
        << status();
    EXPECT_EQ(cell(1, 1), "1");
    EXPECT_EQ(lamp("panComPort"), common::colourFromBgr(kRed));
    expectButtons({false, true, false, true, false}, false);
    EXPECT_FALSE(control<QTimer>("tmrMain").isActive());

    // The device is still gone: Resume leaves the run paused and says so.
    click("cmdResume");
    EXPECT_EQ(window->run().state(), RunState::Paused);
    EXPECT_EQ(status(), "COM port not available");

    // Plugged back, the adapter comes up as another device under the same COM number.
    testing_support::PtyInstrument pluggedBack;
    mapping.map(kInstrumentPort, pluggedBack.devicePath());
    click("cmdResume");
    EXPECT_EQ(window->run().state(), RunState::Running);
    EXPECT_EQ(lamp("panComPort"), common::colourFromBgr(kGreen));
    pluggedBack.send("\r\n3\r\n");
    ASSERT_TRUE(testing_support::runEventsUntil([&] { return spreadsheets.last().cells.size() >= 3; }, 10s));
    EXPECT_EQ(cell(2, 1), "2");
    EXPECT_EQ(cell(3, 1), "3");
    click("cmdStop");
    EXPECT_EQ(testing_support::readFile(window->run().journal().path()), "1\r\n2\r\n3\r\n");
}

TEST_F(MainWindowTest, AWorkbookGoneMidRunLeavesEveryByteInTheJournal)
{
    open();
    click("cmdStart");
    sendAndWaitForCells(kK7rxLine, 8);
    spreadsheets.last().failCall("writeText", SpreadsheetFailure::Gone);
    spreadsheets.last().failCall("workbookName", SpreadsheetFailure::Gone);
    const std::string after = numberedLines(2, 40) + "half";
    instrument.send(after);
    ASSERT_TRUE(testing_support::runEventsUntil(
        [&] { return status().starts_with("MS Excel spreadsheet has been closed"); }, 10s))
        << status();
    EXPECT_EQ(lamp("panExcel"), common::colourFromBgr(kRed));
    click("cmdStop");
    EXPECT_TRUE(window->isVisible());
    const std::string journal = window->run().journal().path();
    EXPECT_EQ(status(),
              "MS Excel spreadsheet has been closed: the received text is in the "
              "journal " +
                  journal);
    EXPECT_EQ(testing_support::readFile(journal), kK7rxLine + after);
}

TEST_F(MainWindowTest, AJournalPathInTheStatusIsElidedAndTheWindowKeepsItsSize)
{
    open();
    const QSize before = window->size();
    click("cmdStart");
    sendAndWaitForCells(kK7rxLine, 8);
    spreadsheets.last().failCall("writeText", SpreadsheetFailure::Gone);
    spreadsheets.last().failCall("workbookName", SpreadsheetFailure::Gone);
    instrument.send(kK7rxLine);
    ASSERT_TRUE(testing_support::runEventsUntil(
        [&] { return status().starts_with("MS Excel spreadsheet has been closed"); }, 10s))
        << status();
    click("cmdStop");
    QCoreApplication::sendPostedEvents();  // the layout's size request
    const auto& line = control<common::ElidedLabel>("panStatus");
    EXPECT_THAT(status(), testing::EndsWith(window->run().journal().path()));
    EXPECT_TRUE(line.elided());
    EXPECT_EQ(line.toolTip(), line.text());
    // Words too long for the line end in an ellipsis rather than being clipped.
    EXPECT_THAT(line.shownText().toStdString(), testing::StartsWith("MS Excel spreadsheet has been closed"));
    EXPECT_TRUE(line.shownText().endsWith(QChar(0x2026)));
    // The detail line under the status may add height while it tells why; the width stays.
    EXPECT_EQ(window->width(), before.width());
}

TEST_F(MainWindowTest, RebuildFromJournalWritesEveryLineOfARunWhoseWorkbookWasGoneBesideARunInProgress)
{
    testing_support::ScriptedFileDialog dialog;
    open().setJournalFileDialog(dialog);
    EXPECT_EQ(control<QAction>("mnuToolsRebuildFromJournal").text(), "&Rebuild From Journal...");
    click("cmdStart");
    sendAndWaitForCells(kK7rxLine, 8);
    // Calc is killed: nothing more reaches the workbook, all of it reaches the journal.
    spreadsheets.last().failCall("writeText", SpreadsheetFailure::Gone);
    spreadsheets.last().failCall("workbookName", SpreadsheetFailure::Gone);
    instrument.send(numberedLines(2, 39) + "half");
    ASSERT_TRUE(testing_support::runEventsUntil(
        [&] { return status().starts_with("MS Excel spreadsheet has been closed"); }, 10s));
    click("cmdStop");
    const std::string journal = window->run().journal().path();

    // A new run is on while the old one is rebuilt.
    click("cmdStart");
    sendAndWaitForCells("new run\r\n", 1);
    auto& running = spreadsheets.last();
    dialog.answers.push_back(journal);
    control<QAction>("mnuToolsRebuildFromJournal").trigger();
    // The rebuild runs beside the window's thread; the window and the run answer meanwhile.
    ASSERT_TRUE(testing_support::runEventsUntil(
        [&] { return control<QAction>("mnuToolsRebuildFromJournal").isEnabled(); }, 30s));

    ASSERT_EQ(dialog.calls.size(), 1u);
    EXPECT_EQ(dialog.calls[0].request.folder, data.file("journal"));
    EXPECT_EQ(dialog.calls[0].request.title, "Rebuild From Journal: Choose a Capture Journal");
    auto& rebuilt = spreadsheets.last();
    ASSERT_NE(&rebuilt, &running);
    EXPECT_EQ(window->rebuiltWorkbook().sheet.get(), &rebuilt);
    EXPECT_EQ(std::get<std::string>(rebuilt.cells.at({1, 2})), "0000");
    for (int line = 2; line <= 40; ++line)
        EXPECT_EQ(std::get<std::string>(rebuilt.cells.at({line, 2})), std::to_string(line));
    EXPECT_EQ(std::get<std::string>(rebuilt.cells.at({41, 1})), "half");
    EXPECT_EQ(status(), "Rebuilt " + groupedDigits(testing_support::readFile(journal).size()) +
                            " bytes, 41 rows in " + spreadsheets.workingCopy);
    // The run in progress goes on into its own workbook.
    EXPECT_EQ(window->run().state(), RunState::Running);
    EXPECT_EQ(running.cells.size(), 1u);
    EXPECT_THAT(prompter.messages, testing::IsEmpty());
    click("cmdStop");
}

TEST_F(MainWindowTest, ASuccessfulRebuildAfterAFailedRunShowsItsOwnOutcomeOnly)
{
    testing_support::ScriptedFileDialog dialog;
    open().setJournalFileDialog(dialog);
    click("cmdStart");
    sendAndWaitForCells(kK7rxLine, 8);
    spreadsheets.last().failCall("writeText", SpreadsheetFailure::Ended);
    spreadsheets.last().failCall("workbookName", SpreadsheetFailure::Ended);
    instrument.send("2\r\n");
    ASSERT_TRUE(
        testing_support::runEventsUntil([&] { return status().starts_with("MS Excel has ended"); }, 10s));
    click("cmdStop");
    auto& reason = control<QLabel>("lblStatusReason");
    ASSERT_EQ(lamp("panExcel"), common::colourFromBgr(kRed));
    ASSERT_FALSE(reason.isHidden());

    dialog.answers.push_back(window->run().journal().path());
    control<QAction>("mnuToolsRebuildFromJournal").trigger();
    ASSERT_TRUE(testing_support::runEventsUntil(
        [&] { return control<QAction>("mnuToolsRebuildFromJournal").isEnabled(); }, 30s));
    EXPECT_THAT(status(), testing::StartsWith("Rebuilt 53 bytes, 2 rows in "));
    EXPECT_EQ(lamp("panExcel"), containerColour());
    EXPECT_TRUE(reason.isHidden());
    EXPECT_EQ(reason.toolTip(), "");

    // A failed rebuild is the latest outcome in turn: red, with its reason.
    dialog.answers.push_back(data.file("no-such-journal.txt"));
    control<QAction>("mnuToolsRebuildFromJournal").trigger();
    ASSERT_TRUE(testing_support::runEventsUntil(
        [&] { return control<QAction>("mnuToolsRebuildFromJournal").isEnabled(); }, 30s));
    EXPECT_THAT(status(), testing::StartsWith("Cannot rebuild from the journal "));
    EXPECT_EQ(lamp("panExcel"), common::colourFromBgr(kRed));
    EXPECT_FALSE(reason.isHidden());
}

TEST_F(MainWindowTest, AReasonIsShownWholeWrappedAndTheWindowGivesItsHeightBack)
{
    // A by-id name is longer than any cut a short reason line could make.
    mapping.map(kInstrumentPort, "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K1234-if00-port0");
    open();
    QCoreApplication::sendPostedEvents();
    const int height = window->height();
    click("cmdStart");
    QCoreApplication::sendPostedEvents();
    auto& reason = control<QLabel>("lblStatusReason");
    const QString whole = reason.toolTip();
    ASSERT_GT(whole.size(), 160);
    QString shown = reason.text();
    shown.remove(QChar(0x200B));
    EXPECT_EQ(shown, whole.simplified()) << "the advice is shown, not cut";
    EXPECT_GE(reason.height(), reason.heightForWidth(reason.width()));
    EXPECT_GT(window->height(), height);

    mapping.map(kInstrumentPort, instrument.devicePath());
    click("cmdStart");
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(reason.isHidden());
    EXPECT_EQ(window->height(), height) << "the reason's height is given back";
}

TEST_F(MainWindowTest, WhileTheFirstStartOpensTheWorkbookNoRunButtonCanBePressed)
{
    open();
    window->runSlowStepsWith(slowSteps);
    expectButtons({true, true, true, true, true}, true);
    click("cmdStart");
    ASSERT_EQ(status(), "Opening MS Excel Spreadsheet");
    expectButtons({false, false, false, false, false}, true);
    ASSERT_TRUE(testing_support::runEventsUntil([&] { return status() == "Ready"; }, 10s)) << status();
    expectButtons({false, true, true, false, false}, true);
    click("cmdStop");
    EXPECT_EQ(spreadsheets.made.size(), 1u);
}

TEST_F(MainWindowTest, AfterStopTheFiguresStayWholeAndOnlyTheWorkingCopysPathIsShortened)
{
    spreadsheets.workingCopy = "/home/lab/Documents/Tabwright/working copies of the fluorometer/" +
                               std::string(80, 'x') + "/2026-12-09_10-00-00.ods";
    open();
    click("cmdStart");
    std::string lines;
    for (int line = 0; line < 300; ++line)
        lines += "1\t2\t3\r\n";
    sendAndWaitForCells(lines, 900);
    click("cmdStop");
    const auto& line = control<common::ElidedLabel>("panStatus");
    EXPECT_EQ(status(), "Stopped: 2,100 bytes, 300 rows in " + spreadsheets.workingCopy);
    EXPECT_TRUE(line.elided());
    EXPECT_THAT(line.shownText().toStdString(),
                testing::StartsWith("Stopped: 2,100 bytes, 300 rows in /home"));
    EXPECT_THAT(line.shownText().toStdString(), testing::EndsWith(".ods"));
    EXPECT_EQ(line.toolTip(), line.text());
}

TEST_F(MainWindowTest, TheEndOfRunMacroRunsBesideTheWindowAndTellsItsOutcome)
{
    write("Excel Macro", "Enable", "True");
    write("Excel Macro", "Name", "ChartReadings");
    open();
    window->runSlowStepsWith(slowSteps);
    click("cmdStart");
    ASSERT_TRUE(testing_support::runEventsUntil([&] { return status() == "Ready"; }, 10s)) << status();
    spreadsheets.last().failCall("runMacro", SpreadsheetFailure::Ended);
    click("cmdStop");
    // Every run button waits while the macro runs, so no Start waits for it.
    ASSERT_TRUE(testing_support::runEventsUntil([&] { return !window->run().runningMacro(); }, 10s));
    EXPECT_EQ(status(), "MS Excel has ended");
    EXPECT_EQ(control<QLabel>("lblStatusReason").toolTip(), "runMacro failed as told");
    EXPECT_EQ(lamp("panExcel"), common::colourFromBgr(kRed));
    expectButtons({true, false, false, false, true}, true);
}

TEST_F(MainWindowTest, ReadingsChartFollowsTheRunAndKeepsItAfterStopUntilTheNextStart)
{
    open();
    auto& chartAction = control<QAction>("mnuToolsReadingsChart");
    EXPECT_EQ(chartAction.text(), "Readings &Chart");
    EXPECT_EQ(chartAction.shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));
    click("cmdStart");
    sendAndWaitForCells(kK7rxLine, 8);
    chartAction.trigger();
    frmReadingsChart* chart = window->readingsCharts().runChart();
    ASSERT_NE(chart, nullptr);
    EXPECT_TRUE(chart->isVisible());
    ASSERT_NE(chart->findChild<QWidget*>("chartReadings"), nullptr);
    ASSERT_TRUE(chart->chart().statistics("Reading (RAW)").has_value());
    EXPECT_EQ(chart->chart().statistics("Reading (RAW)")->count, 1u);
    click("cmdStop");
    EXPECT_EQ(window->readingsCharts().runReadings().find("Reading (RAW)")->size(), 1u);
    click("cmdStart");
    EXPECT_EQ(window->readingsCharts().runReadings().readingCount(), 0u);
    click("cmdStop");
}

TEST_F(MainWindowTest, ChartFromJournalDrawsAFinishedRunInItsOwnWindow)
{
    testing_support::ScriptedFileDialog dialog;
    open().readingsCharts().setJournalFileDialog(dialog);
    click("cmdStart");
    sendAndWaitForCells(kK7rxLine, 8);
    click("cmdStop");
    dialog.answers.push_back(window->run().journal().path());
    control<QAction>("mnuToolsChartFromJournal").trigger();
    ASSERT_EQ(window->readingsCharts().journalCharts().size(), 1u);
    frmReadingsChart& chart = *window->readingsCharts().journalCharts().front();
    EXPECT_TRUE(chart.isVisible());
    ASSERT_TRUE(chart.chart().statistics("Reading (RAW)").has_value());
    EXPECT_EQ(chart.chart().statistics("Reading (RAW)")->count, 1u);
    EXPECT_THAT(prompter.messages, testing::IsEmpty());

    // A journal that cannot be read is told, and no chart opens.
    dialog.answers.push_back(data.file("no-such-journal.txt"));
    control<QAction>("mnuToolsChartFromJournal").trigger();
    EXPECT_EQ(window->readingsCharts().journalCharts().size(), 1u);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_THAT(prompter.messages[0], testing::HasSubstr("no-such-journal.txt"));
}

// Takes the desktop's URL requests in place of a file manager.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QStringList opened;
public slots:
    void open(const QUrl& url) { opened.push_back(url.toLocalFile()); }
};

TEST_F(MainWindowTest, TheJournalFolderEntryMakesTheFolder)
{
    open();
    EXPECT_EQ(control<QAction>("mnuToolsJournalFolder").text(), "Open &Journal Folder");
    // No file manager is asked in the test: the URL handler takes the request.
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
    control<QAction>("mnuToolsJournalFolder").trigger();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    EXPECT_THAT(catcher.opened, testing::ElementsAre(QString::fromStdString(data.file("journal"))));
    EXPECT_TRUE(QDir(QString::fromStdString(data.file("journal"))).exists());
    EXPECT_THAT(prompter.messages, testing::IsEmpty());
}

TEST_F(MainWindowTest, WithoutAFileManagerTheJournalFolderIsNamedInAMessage)
{
    // The test machine has no file manager, and the offscreen platform opens no URL.
    open();
    control<QAction>("mnuToolsJournalFolder").trigger();
    EXPECT_THAT(
        prompter.messages,
        testing::ElementsAre("No file manager could open the journal folder. The journals are in:\r\n" +
                             data.file("journal")));
}

}  // namespace
}  // namespace tabwright

#include "main_window_test.moc"
