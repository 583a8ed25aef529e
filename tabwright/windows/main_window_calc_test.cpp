// The main window against a real headless Calc, with the instrument on a pseudo-terminal:
// one CTest entry that never runs beside another test that starts Calc.
#include "tabwright/windows/main_window.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <memory>

#include <com/sun/star/table/XCell.hpp>

#include "serial/qt_serial_port.h"
#include "tabwright/calc/calc_spreadsheet.h"
#include "tabwright/calc/office_process.h"
#include "tabwright/files/ini_settings_store.h"
#include "tabwright/files/workbook_files.h"
#include "tabwright/testing/calc_user_side.h"
#include "tabwright/testing/headless_calc_window_parts.h"
#include "testing/event_loop.h"
#include "testing/file_contents.h"
#include "testing/port_mapping.h"
#include "testing/pty_instrument.h"
#include "testing/scripted_prompter.h"
#include "testing/widgets/named_control.h"
#include "testing/widgets/qt_application.h"

namespace tabwright {
namespace {

using namespace std::chrono_literals;

// The real main window on a headless Calc of its own, the instrument on COM 2.
class MainWindowWithCalc : public testing::Test, protected testing_support::HeadlessCalcWindowParts {
protected:
    MainWindowWithCalc() : HeadlessCalcWindowParts(PROJECT_DATA_DIR)
    {
        mapping.map(2, instrument.devicePath());
        settings.write("Tabwright", "Communication", "ComPort", "2");
    }
    frmMain& open()
    {
        window_ = std::make_unique<frmMain>(windowParts());
        window_->show();
        return *window_;
    }

    testing_support::PtyInstrument instrument;

private:
    std::unique_ptr<frmMain> window_;
};

TEST_F(MainWindowWithCalc, InstrumentLinesLandInTheCellsAndTheMacroChartsThem)
{
    settings.write("Tabwright", "Excel Macro", "Enable", "True");
    settings.write("Tabwright", "Excel Macro", "Name", "ChartReadings");
    frmMain& window = open();

    auto& start = testing_support::namedControl<QPushButton>(window, "cmdStart");
    QTest::mouseClick(&start, Qt::LeftButton);
    auto& status = testing_support::namedControl<QLabel>(window, "panStatus");
    ASSERT_EQ(status.text(), "Ready");
    ASSERT_TRUE(spreadsheets.calc);
    const pid_t group = spreadsheets.calc->processGroup();

    instrument.send(
        "0 0000 :: 12-07-2026 05:10:26 = 57 (RAW)  43 (C)\r\n"
        "1 0001 :: 12-07-2026 05:10:27 = 61 (RAW)  43 (C)\r\n"
        "2 0002 :: 12-07-2026 05:10:28 = 58 (RAW)  44 (C)\r\n");
    ASSERT_TRUE(testing_support::runEventsUntil([&] { return status.text() == "Bytes Received: 150"; }, 30s))
        << status.text().toStdString();
    // The last line's cells are written in the tick that counted its bytes.
    testing_support::runEventsFor(300ms);

    testing_support::CalcUserSide user(spreadsheets.calc->pipeName());
    // The run's working copy and its journal share the run's name.
    const std::string workbook = spreadsheets.calc->workbookName();
    EXPECT_EQ(std::filesystem::path(workbook).stem(),
              std::filesystem::path(window.run().journal().path()).stem());
    const char* first[] = {"0", "0000", "12-07-2026", "05:10:26", "57", "(RAW)", "43", "(C)"};
    for (int column = 1; column <= 8; ++column)
        EXPECT_EQ(user.text(workbook, 1, column), first[column - 1]) << "column " << column;
    EXPECT_EQ(user.text(workbook, 2, 5), "61");
    EXPECT_EQ(user.text(workbook, 3, 4), "05:10:28");
    EXPECT_EQ(user.text(workbook, 4, 1), "");

    QTest::mouseClick(&testing_support::namedControl<QPushButton>(window, "cmdStop"), Qt::LeftButton);
    EXPECT_TRUE(user.hasChart(workbook, "Readings"));
    EXPECT_TRUE(prompter.messages.empty());

    window.close();
    EXPECT_FALSE(processGroupRunning(group)) << "Calc left running";
}

TEST_F(MainWindowWithCalc, AKilledCalcLosesNoByteAndTheNextStartCapturesAgain)
{
    settings.write("Tabwright", "Excel Macro", "Enable", "False");
    frmMain& window = open();
    auto& start = testing_support::namedControl<QPushButton>(window, "cmdStart");
    auto& stop = testing_support::namedControl<QPushButton>(window, "cmdStop");
    auto& status = testing_support::namedControl<QLabel>(window, "panStatus");

    QTest::mouseClick(&start, Qt::LeftButton);
    ASSERT_EQ(status.text(), "Ready");
    const std::string before = "0 0000 :: 12-07-2026 05:10:26 = 57 (RAW)  43 (C)\r\n";
    instrument.send(before);
    ASSERT_TRUE(testing_support::runEventsUntil([&] { return status.text() == "Bytes Received: 50"; }, 30s));
    testing_support::runEventsFor(300ms);

    // Calc dies under the run; the instrument goes on sending.
    const pid_t group = spreadsheets.calc->processGroup();
    ::kill(-group, SIGKILL);
    ASSERT_TRUE(testing_support::runEventsUntil([&] { return !processGroupRunning(group); }, 30s));
    const std::string after = "1 0001 :: 12-07-2026 05:10:27 = 61 (RAW)  43 (C)\r\nhalf";
    instrument.send(after);
    // A killed Calc has ended; the user closed nothing. The journal goes on counting.
    ASSERT_TRUE(testing_support::runEventsUntil(
        [&] { return status.text() == "MS Excel has ended; Bytes Received: 104"; }, 60s))
        << status.text().toStdString();
    const auto leftInWork = [&] {
        for (const auto& entry : std::filesystem::directory_iterator(root.file("work")))
            if (entry.path().filename().string().starts_with(".~lock."))
                return true;
        return false;
    };
    QTest::mouseClick(&stop, Qt::LeftButton);
    const std::string journal = window.run().journal().path();
    EXPECT_EQ(status.text().toStdString(),
              "MS Excel has ended: the received text is in the journal " + journal);
    // The reason is told in plain words, without the office's internal ones.
    EXPECT_EQ(testing_support::namedControl<QLabel>(window, "lblStatusReason").toolTip(),
              "LibreOffice Calc has ended");
    EXPECT_EQ(testing_support::readFile(journal), before + after);
    // What the killed Calc left (its lock beside the working copy, its profile) goes with the run.
    EXPECT_FALSE(leftInWork());
    EXPECT_TRUE(std::filesystem::is_empty(root.file("instances")));

    // The next Start opens a new Calc and captures into it.
    QTest::mouseClick(&start, Qt::LeftButton);
    ASSERT_EQ(status.text(), "Ready");
    EXPECT_NE(spreadsheets.calc->processGroup(), group);
    instrument.send("2\t0002\r\n");
    ASSERT_TRUE(testing_support::runEventsUntil([&] { return status.text() == "Bytes Received: 8"; }, 30s));
    testing_support::runEventsFor(300ms);
    testing_support::CalcUserSide user(spreadsheets.calc->pipeName());
    EXPECT_EQ(user.text(spreadsheets.calc->workbookName(), 1, 2), "0002");
    QTest::mouseClick(&stop, Qt::LeftButton);
    window.close();
}

}  // namespace
}  // namespace tabwright
