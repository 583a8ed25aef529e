// The whole program's all-steps sequence with its real windows: a download
// from the simulated instrument over a pseudo-terminal, the save step, and the
// conversion that then starts by itself.
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <sstream>

#include "logfetch/cli/convert_command.h"
#include "logfetch/testing/bin_builder.h"
#include "logfetch/testing/pty_instrument_runner.h"
#include "logfetch/windows/logfetch_windows.h"
#include "logfetch/windows/main_window.h"
#include "testing/port_mapping.h"
#include "testing/pty_instrument.h"
#include "testing/temp_folder.h"
#include "testing/widgets/modal_script.h"
#include "testing/widgets/modal_watchdog.h"
#include "testing/widgets/qt_application.h"

namespace logfetch {
namespace {

using testing_support::readFile;

// Three blocks of readings, one second apart, whose last record is the end time.
std::string threeBlockLog()
{
    constexpr int kRecords = 1500;
    testing_support::HeaderFields fields;
    fields.end = {1, 1, 3, 0, 24, 59};  // 1499 seconds after the start
    testing_support::BinBuilder bin = testing_support::BinBuilder::interval(1).header(fields);
    for (int i = 0; i < kRecords; ++i)
        bin.reading2(i % 3 == 0, i % 4, i % 1024);
    const auto& bytes = bin.endMarker().bytes();
    return {bytes.begin(), bytes.end()};
}

// Presses OK of the message box shown and keeps its text.
auto acknowledge(std::vector<std::string>& messages)
{
    return [&messages](QWidget& window) {
        auto& box = static_cast<QMessageBox&>(window);
        messages.push_back(box.text().toStdString());
        box.button(QMessageBox::Ok)->click();
    };
}

TEST(AllSteps, DownloadsSavesAndConvertsWhatWasSaved)
{
    testing_support::application();
    testing_support::TempFolder programFolder;
    testing_support::TemporaryPortMapping mapping;
    testing_support::PtyInstrument instrument;
    mapping.map(1, instrument.devicePath());
    std::optional<testing_support::PtyInstrumentRunner> runner;

    StepValues values;
    LogfetchWindows steps(values, programFolder.path());
    frmMain window(values, steps, programFolder.path());

    testing_support::InstrumentScript script;
    script.data = threeBlockLog();
    std::vector<std::string> messages;
    testing_support::ModalWatchdog watchdog(std::chrono::seconds(60));
    testing_support::ModalScript user;
    user.then("frmDownload",
              [&](QWidget&) {
                  runner.emplace(instrument, testing_support::PtyInstrumentRunner::Pace::AsFastAsPossible);
                  runner->play(script);
              })
        .then("MessageBox", acknowledge(messages))   // the final counts
        .click("frmDownload", "cmdOK")               // save as proposed
        .then("MessageBox", acknowledge(messages));  // the conversion's outcome

    QTest::mouseClick(window.findChild<QPushButton*>("cmdAllSteps"), Qt::LeftButton);

    EXPECT_EQ(user.stepsLeft(), 0U);
    EXPECT_EQ(watchdog.windowsClosed(), 0);
    EXPECT_THAT(messages,
                ::testing::ElementsAre("Download Finished. Number of Blocks = 3. Number of Bytes = " +
                                           std::to_string(script.data.size()),
                                       "The conversion has completed.  Your ASCII file is: IDATALOG.PRN"));
    const std::string saved = programFolder.file("Idatalog.bin");
    EXPECT_EQ(readFile(saved), script.data);
    EXPECT_EQ(values.gLastBinFile, saved);
    EXPECT_EQ(values.gStepMode, StepValues::AllSteps);

    // The reports beside the saved .BIN are what the command line makes of it.
    testing_support::TempFolder elsewhere;
    testing_support::writeFile(elsewhere.file("Idatalog.bin"),
                               testing_support::Bytes(script.data.begin(), script.data.end()));
    std::ostringstream out, err;
    ASSERT_EQ(runConvertCommand({elsewhere.file("Idatalog.bin")}, out, err), 0) << err.str();
    EXPECT_EQ(readFile(programFolder.file("IDATALOG.PRN")), readFile(elsewhere.file("IDATALOG.PRN")));
    EXPECT_EQ(readFile(programFolder.file("IDATALOG.CSV")), readFile(elsewhere.file("IDATALOG.CSV")));
    const std::string csv = readFile(programFolder.file("IDATALOG.CSV"));
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1500);
}

}  // namespace
}  // namespace logfetch
