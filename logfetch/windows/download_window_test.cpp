#include "logfetch/windows/download_window.h"
#include "logfetch/download/download_lock.h"

#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "logfetch/ports/serialport_cfg.h"
#include "logfetch/testing/bin_builder.h"
#include "logfetch/testing/fake_clock.h"
#include "logfetch/testing/pty_instrument_runner.h"
#include "logfetch/testing/simulated_instrument.h"
#include "serial/qt_serial_port.h"
#include "testing/event_loop.h"
#include "testing/file_rights.h"
#include "testing/port_mapping.h"
#include "testing/pty_instrument.h"
#include "testing/scripted_prompter.h"
#include "testing/temp_folder.h"
#include "testing/widgets/modal_script.h"
#include "testing/widgets/modal_watchdog.h"
#include "testing/widgets/named_control.h"
#include "testing/widgets/qt_application.h"
#include "testing/widgets/scripted_file_dialog.h"

namespace logfetch {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;
using testing_support::InstrumentScript;
using testing_support::makeDataLog;
using testing_support::readFile;

constexpr int kPort = 4;
constexpr char kWaitingText[] = "Have the instrument start downloading";
constexpr char kReceivingText[] = "Please wait for download to complete or press cancel to stop.";
constexpr char kSaveStepText[] = "Download Complete. Enter a filename to save this download";

// The file holds exactly these bytes (told without printing binary data).
::testing::AssertionResult holds(const std::string& path, const std::string& bytes)
{
    if (!fs::exists(path))
        return ::testing::AssertionFailure() << path << " does not exist";
    const std::string held = readFile(path);
    if (held == bytes)
        return ::testing::AssertionSuccess();
    const auto differ = std::mismatch(held.begin(), held.end(), bytes.begin(), bytes.end());
    return ::testing::AssertionFailure()
           << path << " holds " << held.size() << " bytes instead of " << bytes.size()
           << ", first difference at " << (differ.first - held.begin());
}

std::string counts(int blocks, std::size_t bytes)
{
    return "Download Finished. Number of Blocks = " + std::to_string(blocks) +
           ". Number of Bytes = " + std::to_string(bytes);
}

// The test's clock, lent to each download the window makes.
class LentClock : public Clock {
public:
    explicit LentClock(Clock& clock) : clock_(clock) {}
    std::int32_t millisecondsSinceMidnight() override { return clock_.millisecondsSinceMidnight(); }

private:
    Clock& clock_;
};

// The window over a real pseudo-terminal: COM4 is the simulated instrument,
// "serialport.cfg" names it, and the time-out clock stands still.
class DownloadWindowTest : public ::testing::Test {
protected:
    DownloadWindowTest()
    {
        mapping.map(kPort, pty.devicePath());
        writePortNumber(programFolder.path(), kPort);
        values.gStepMode = StepValues::AllSteps;
    }

    DownloadLink testLink()
    {
        return {[] { return std::make_unique<serial::QtSerialPort>(); },
                [this] { return std::make_unique<LentClock>(clock); }};
    }

    template <typename Control>
    Control& control(const char* name)
    {
        return testing_support::namedControl<Control>(window, name);
    }
    std::string text(const char* label) { return control<QLabel>(label).text().toStdString(); }
    void click(const char* button) { QTest::mouseClick(&control<QPushButton>(button), Qt::LeftButton); }
    bool inSaveStep() { return control<QFrame>("famGetFilename").isVisible(); }
    std::vector<std::string> list1()
    {
        std::vector<std::string> lines;
        for (int row = 0; row < control<QListWidget>("List1").count(); ++row)
            lines.push_back(control<QListWidget>("List1").item(row)->text().toStdString());
        return lines;
    }

    // Shows the window until it unloads, running the steps once the transfer
    // has started; `script` acts on the dialogs the steps open.
    void doprompt(std::function<void()> steps)
    {
        testing_support::ModalScript shown;
        shown.then("frmDownload", [&](QWidget&) {
            ASSERT_TRUE(testing_support::runEventsUntil([&] { return !text("lblInstructions").empty(); }));
            steps();
        });
        window.doprompt();
        EXPECT_EQ(shown.stepsLeft(), 0U) << "the window was not shown";
        EXPECT_EQ(script.stepsLeft(), 0U) << "steps left when the window closed";
        EXPECT_FALSE(window.isVisible());
    }

    // The instrument sends the log; true once the window is at the save step.
    bool downloadToSaveStep(InstrumentScript instrument)
    {
        runner.play(std::move(instrument));
        return testing_support::runEventsUntil([this] { return inSaveStep(); }, 60s);
    }
    bool downloadToSaveStep() { return downloadToSaveStep(logScript()); }

    InstrumentScript logScript()
    {
        InstrumentScript instrument;
        instrument.data = log;
        return instrument;
    }

    // Whether another program could open COM4 now, that is the window let it go.
    static bool portFree()
    {
        serial::QtSerialPort other;
        other.setPortNumber(kPort);
        try {
            other.open();
        } catch (const serial::PortError&) {
            return false;
        }
        return true;
    }

    std::string lastBinCfg() const
    {
        const std::string path = programFolder.file("lastbin.cfg");
        return fs::exists(path) ? readFile(path) : std::string("(none)");
    }
    std::string tempFile() const { return readFile(programFolder.file("~tempidl.bin")); }

    const std::string log = makeDataLog(2 * 1024 + 300);

    QApplication& app = testing_support::application();
    testing_support::TemporaryPortMapping mapping;
    testing_support::PtyInstrument pty;
    testing_support::PtyInstrumentRunner runner{pty,
                                                testing_support::PtyInstrumentRunner::Pace::AsFastAsPossible};
    testing_support::TempFolder programFolder;
    testing_support::TempFolder data;
    testing_support::FakeClock clock;
    StepValues values;
    testing_support::ScriptedPrompter prompter;
    testing_support::ScriptedFileDialog fileDialog;
    frmConfirmOverwrite confirmOverwrite{values};
    frmDownload window{values, prompter, fileDialog, confirmOverwrite, programFolder.path(), testLink()};
    testing_support::ModalWatchdog watchdog{60s};
    testing_support::ModalScript script;
};

struct Design {
    const char* name;
    QRect place;
    const char* caption;
    bool bold;
};

TEST_F(DownloadWindowTest, WaitingWindowHasEveryControlOfTheDesignCentred)
{
    doprompt([&] {
        EXPECT_EQ(window.windowTitle(), "Download");
        EXPECT_EQ(window.size(), QSize(595, 159));
        // Centred before it was shown, when its frame was not yet known.
        const QPoint offCentre = window.geometry().center() - window.screen()->geometry().center();
        EXPECT_LE(offCentre.manhattanLength(), 4) << offCentre.x() << ", " << offCentre.y();
        // Captions at their design places; a font wider than the design's
        // widens them, never cuts them.
        for (const Design& design : {
                 Design{"Label1", {8, 16, 87, 16}, "Instructions :", true},
                 Design{"Label4", {0, 8, 88, 16}, "Status          :", true},
                 Design{"Label5", {0, 8, 73, 16}, "Full Path : ", true},
                 Design{"Label3", {0, 32, 69, 16}, "Filename:", true},
             }) {
            const QLabel& label = control<QLabel>(design.name);
            EXPECT_EQ(label.text().toStdString(), design.caption) << design.name;
            EXPECT_EQ(label.geometry().topLeft(), design.place.topLeft()) << design.name;
            EXPECT_EQ(label.height(), design.place.height()) << design.name;
            EXPECT_EQ(label.width(), std::max(design.place.width(), label.sizeHint().width())) << design.name;
            EXPECT_EQ(label.font().bold(), design.bold) << design.name;
            EXPECT_DOUBLE_EQ(label.font().pointSizeF(), 9.75) << design.name;
        }
        // The values in one column right of their captions: the design's
        // column when the captions fit in it.
        const auto right = [&](const char* name) { return control<QLabel>(name).geometry().right() + 1; };
        const int column = std::max({104, right("Label1") + 6, 8 + right("Label4") + 6});
        const QLabel& instructions = control<QLabel>("lblInstructions");
        EXPECT_EQ(instructions.text(), kWaitingText);
        EXPECT_EQ(instructions.pos(), QPoint(column, 16));
        EXPECT_EQ(instructions.width(), instructions.sizeHint().width()) << "sizes to its text";
        EXPECT_TRUE(instructions.font().bold());
        const QLabel& status = control<QLabel>("lblStatus");
        EXPECT_EQ(status.text(), "");
        EXPECT_EQ(status.geometry(), QRect(column - 8, 8, 567 - (column - 8), 16));
        EXPECT_TRUE(status.font().bold());
        const int saveColumn = std::max({88, right("Label5") + 6, right("Label3") + 6});
        EXPECT_FALSE(control<QLabel>("lblFullPath").font().bold());
        EXPECT_EQ(control<QLabel>("lblFullPath").pos(), QPoint(saveColumn, 8));
        EXPECT_EQ(control<QLabel>("lblFilename").pos(), QPoint(saveColumn, 32));
        EXPECT_EQ(control<QPushButton>("cmdBrowse").geometry(), QRect(saveColumn, 56, 97, 25));

        EXPECT_EQ(control<QFrame>("famDownloading").geometry(), QRect(8, 40, 577, 113));
        EXPECT_TRUE(control<QFrame>("famDownloading").isVisible());
        EXPECT_EQ(control<QFrame>("famGetFilename").geometry(), QRect(408, 408, 577, 113));
        EXPECT_FALSE(control<QFrame>("famGetFilename").isVisible());
        EXPECT_EQ(control<QPushButton>("cmdCancel").geometry(), QRect(240, 88, 97, 25));
        EXPECT_EQ(control<QPushButton>("cmdCancel").text(), "Cancel");
        EXPECT_EQ(control<QPushButton>("cmdCancel").parent()->objectName(), "famDownloading");
        EXPECT_EQ(control<QPushButton>("cmdBrowse").text(), "Browse");
        EXPECT_EQ(control<QPushButton>("cmdOK").geometry(), QRect(232, 80, 97, 25));
        EXPECT_EQ(control<QPushButton>("cmdOK").text(), "OK");
        EXPECT_EQ(control<QPushButton>("cmdOK").parent()->objectName(), "famGetFilename");
        const QListWidget& list = control<QListWidget>("List1");
        EXPECT_EQ(list.geometry(), QRect(184, 160, 137, 433));
        EXPECT_GE(list.y(), window.height()) << "below the visible client area";
        click("cmdCancel");
    });
}

TEST_F(DownloadWindowTest, CancelWhileWaitingReportsNothingReceivedAndOffersNoSave)
{
    for (int opening = 1; opening <= 2; ++opening) {
        values.gStepMode = StepValues::AllSteps;
        doprompt([&] {
            EXPECT_EQ(text("lblStatus"), "");
            EXPECT_THAT(list1(), ::testing::IsEmpty()) << "opening " << opening;
            EXPECT_TRUE(control<QFrame>("famDownloading").isVisible());
            EXPECT_FALSE(portFree()) << "the window holds the port";
            click("cmdCancel");
        });
        EXPECT_EQ(values.gStepMode, StepValues::DownloadOnly);
        EXPECT_EQ(prompter.messages.back(), counts(0, 0));
        EXPECT_EQ(prompter.messages.size(), static_cast<std::size_t>(opening));
        EXPECT_TRUE(fileDialog.calls.empty());
        EXPECT_EQ(lastBinCfg(), "(none)");
        EXPECT_EQ(tempFile(), "");
        EXPECT_TRUE(portFree());
    }
}

TEST_F(DownloadWindowTest, PortThatCannotBeOpenedIsToldAndTheWindowNeverShows)
{
    serial::QtSerialPort otherProgram;
    otherProgram.setPortNumber(kPort);
    otherProgram.open();
    struct Case {
        const char* saved;
        std::string found;
    };
    for (const Case& failing : {
             Case{"COM4",
                  "\"COM4\" is not a COM port number from 1 to 16. Choose the port in Serial Port Setup"},
             // 3.6 is COM4 rounded, which the other program holds.
             Case{"3.6", "COM4 (" + pty.devicePath() + ") is in use by another program."},
         }) {
        prompter.messages.clear();
        values.gStepMode = StepValues::AllSteps;
        testing_support::writeText(serialPortCfgPath(programFolder.path()),
                                   std::string(failing.saved) + "\r\n");
        bool shown = false;
        testing_support::ModalScript ifShown;
        ifShown.then("frmDownload", [&](QWidget&) {
            shown = true;
            click("cmdCancel");
        });
        window.doprompt();
        ASSERT_EQ(prompter.messages.size(), 1U) << failing.saved;
        EXPECT_THAT(prompter.messages[0],
                    StartsWith(std::string("Error: COM port #") + failing.saved +
                               " is not available.  Please change and try again.\r\n\r\n"));
        EXPECT_THAT(prompter.messages[0], HasSubstr(failing.found));
        EXPECT_EQ(values.gStepMode, StepValues::DownloadOnly);
        testing_support::runEventsFor(50ms);
        EXPECT_FALSE(shown) << failing.saved;
        EXPECT_FALSE(fs::exists(programFolder.file("~tempidl.bin")));
    }
}

TEST_F(DownloadWindowTest, WholeDownloadThenSaveUnderANewName)
{
    InstrumentScript instrument = logScript();
    instrument.textLines = {"K7RX DATA LOGGER", "", "Memory: 2348 bytes"};
    fileDialog.answers = {data.file("run7.bin")};
    doprompt([&] {
        EXPECT_EQ(text("lblInstructions"), kWaitingText);
        ASSERT_TRUE(downloadToSaveStep(instrument));
        EXPECT_FALSE(control<QFrame>("famDownloading").isVisible());
        EXPECT_EQ(control<QFrame>("famGetFilename").pos(), QPoint(8, 40)) << "on famDownloading's place";
        EXPECT_EQ(text("lblInstructions"), kSaveStepText);
        EXPECT_EQ(text("lblStatus"), counts(3, log.size()));
        EXPECT_THAT(list1(), ElementsAre("K7RX DATA LOGGER", "Memory: 2348 bytes"));
        EXPECT_EQ(text("lblFullPath"), programFolder.path() + "/");
        EXPECT_EQ(text("lblFilename"), "Idatalog.bin");
        EXPECT_TRUE(portFree()) << "closed at the transfer's end";

        click("cmdBrowse");
        ASSERT_EQ(fileDialog.calls.size(), 1U);
        EXPECT_EQ(fileDialog.calls[0].form, testing_support::ScriptedFileDialog::Form::Save);
        EXPECT_EQ(fileDialog.calls[0].request.folder, programFolder.path() + "/");
        EXPECT_EQ(fileDialog.calls[0].request.fileName, "Idatalog.bin");
        EXPECT_EQ(fileDialog.calls[0].request.filter, "Binary File (*.BIN)|*.BIN|All File (*.*)|*.*");
        EXPECT_EQ(text("lblFullPath"), data.path() + "/");
        EXPECT_EQ(text("lblFilename"), "run7.bin");
        click("cmdBrowse");  // cancelled: nothing changes
        EXPECT_EQ(text("lblFilename"), "run7.bin");
        click("cmdOK");
    });
    EXPECT_THAT(prompter.messages, ElementsAre(counts(3, log.size())));
    EXPECT_TRUE(holds(data.file("run7.bin"), log));
    EXPECT_TRUE(holds(programFolder.file("~tempidl.bin"), log)) << "the temporary file is kept";
    EXPECT_EQ(values.gLastBinFile, data.file("run7.bin"));
    EXPECT_EQ(lastBinCfg(), data.file("run7.bin") + "\r\n");
    EXPECT_EQ(values.gStepMode, StepValues::AllSteps);
    EXPECT_TRUE(runner.waitUntilDone(std::chrono::seconds(5))) << testing::PrintToString(runner.faults());

    // The next opening starts afresh.
    doprompt([&] {
        EXPECT_TRUE(control<QFrame>("famDownloading").isVisible());
        EXPECT_FALSE(control<QFrame>("famGetFilename").isVisible());
        EXPECT_EQ(control<QFrame>("famGetFilename").pos(), QPoint(408, 408));
        EXPECT_EQ(text("lblStatus"), "");
        EXPECT_EQ(text("lblFilename"), "");
        EXPECT_THAT(list1(), ::testing::IsEmpty());
        click("cmdCancel");
    });
}

TEST_F(DownloadWindowTest, SaveStepProposesTheLastBinFileSoAPlainOkAsksToReplaceIt)
{
    testing_support::writeText(data.file("run7.bin"), "the previous log");
    values.gLastBinFile = data.file("run7.bin");
    script.click("frmConfirmOverwrite", "cmdYes");
    doprompt([&] {
        ASSERT_TRUE(downloadToSaveStep());
        EXPECT_EQ(text("lblFullPath"), data.path() + "/");
        EXPECT_EQ(text("lblFilename"), "run7.bin");
        click("cmdOK");
    });
    EXPECT_EQ(values.gOverwriteFile, data.file("run7.bin"));
    EXPECT_TRUE(holds(data.file("run7.bin"), log));
}

TEST_F(DownloadWindowTest, LastBinFileWithoutSeparatorFallsBackToIdatalogInTheProgramFolder)
{
    values.gLastBinFile = "run7.bin";
    doprompt([&] {
        ASSERT_TRUE(downloadToSaveStep());
        EXPECT_EQ(text("lblFullPath"), "");
        EXPECT_EQ(text("lblFilename"), "run7.bin");
        click("cmdOK");
    });
    EXPECT_TRUE(holds(programFolder.file("Idatalog.bin"), log));
    EXPECT_EQ(values.gLastBinFile, programFolder.file("Idatalog.bin"));
    EXPECT_EQ(lastBinCfg(), programFolder.file("Idatalog.bin") + "\r\n");
}

TEST_F(DownloadWindowTest, UpperCaseNameOverALowerCaseFileAsksWithTheLowerCasePath)
{
    testing_support::writeText(data.file("run7.bin"), "the previous log");
    fileDialog.answers = {data.file("RUN7.BIN")};
    std::vector<std::string> asked;
    const auto answer = [&](const char* button) {
        script.then("frmConfirmOverwrite", [&, button](QWidget& question) {
            asked.push_back(
                testing_support::namedControl<QLabel>(question, "lblExistingFile").text().toStdString());
            QTest::mouseClick(&testing_support::namedControl<QPushButton>(question, button), Qt::LeftButton);
        });
    };
    answer("cmdNo");
    answer("cmdYes");
    doprompt([&] {
        ASSERT_TRUE(downloadToSaveStep());
        click("cmdBrowse");
        click("cmdOK");
        EXPECT_TRUE(window.isVisible()) << "declined: still in the save step";
        EXPECT_TRUE(inSaveStep());
        EXPECT_FALSE(fs::exists(data.file("RUN7.BIN")));
        EXPECT_EQ(lastBinCfg(), "(none)");
        click("cmdOK");
    });
    EXPECT_THAT(asked, ElementsAre(data.file("run7.bin"), data.file("run7.bin")));
    EXPECT_TRUE(holds(data.file("RUN7.BIN"), log));
    EXPECT_EQ(readFile(data.file("run7.bin")), "the previous log");
    EXPECT_EQ(values.gLastBinFile, data.file("RUN7.BIN"));
}

TEST_F(DownloadWindowTest, TempFileAsTargetIsRecordedNotCopiedButElsewhereItIsCopied)
{
    fileDialog.answers = {programFolder.file("~TempIDL.BIN")};
    script.click("frmConfirmOverwrite", "cmdYes");
    doprompt([&] {
        ASSERT_TRUE(downloadToSaveStep());
        click("cmdBrowse");
        click("cmdOK");
    });
    EXPECT_EQ(values.gOverwriteFile, programFolder.file("~tempidl.bin"));
    EXPECT_FALSE(fs::exists(programFolder.file("~TempIDL.BIN")));
    EXPECT_TRUE(holds(programFolder.file("~tempidl.bin"), log));
    EXPECT_EQ(lastBinCfg(), programFolder.file("~tempidl.bin") + "\r\n");
    EXPECT_EQ(values.gLastBinFile, programFolder.file("~tempidl.bin"));

    // In another folder the name is just a name: the download is copied there.
    fileDialog.answers = {data.file("~TEMPIDL.bin")};
    doprompt([&] {
        ASSERT_TRUE(downloadToSaveStep());
        click("cmdBrowse");
        click("cmdOK");
    });
    EXPECT_TRUE(holds(data.file("~TEMPIDL.bin"), log));
    EXPECT_EQ(values.gLastBinFile, data.file("~TEMPIDL.bin"));
}

TEST_F(DownloadWindowTest, FailedCopyIsToldAndTheSaveStepStaysUntilACopySucceeds)
{
    fs::create_directory(data.file("read-only"));
    fs::permissions(data.file("read-only"), fs::perms::owner_read | fs::perms::owner_exec);
    fileDialog.answers = {data.file("missing/run7.bin"), data.file("read-only/run7.bin"),
                          data.file("run7.bin")};
    std::vector<bool> stayed;
    doprompt([&] {
        ASSERT_TRUE(downloadToSaveStep());
        const testing_support::PermissionBitsHold asALabUser;
        for (int attempt = 0; attempt < 3; ++attempt) {
            click("cmdBrowse");
            click("cmdOK");
            stayed.push_back(window.isVisible() && inSaveStep());
        }
    });
    EXPECT_THAT(stayed, ElementsAre(true, true, false));
    const std::string keptIn = "\r\nIt stays in " + programFolder.file("~tempidl.bin") +
                               " until the next download; choose another folder or name.";
    ASSERT_EQ(prompter.messages.size(), 3U);
    EXPECT_EQ(prompter.messages[1], "Cannot save the download as " + data.file("missing/run7.bin") +
                                        ": No such file or directory" + keptIn);
    EXPECT_THAT(prompter.messages[2],
                StartsWith("Cannot save the download as " + data.file("read-only/run7.bin") + ": "));
    EXPECT_THAT(prompter.messages[2], HasSubstr("ermission denied"));
    EXPECT_TRUE(holds(data.file("run7.bin"), log));
    EXPECT_EQ(lastBinCfg(), data.file("run7.bin") + "\r\n");
}

TEST_F(DownloadWindowTest, ClosingByTheFrameDuringTheTransferIsCancel)
{
    InstrumentScript instrument = logScript();
    instrument.silentAfter = 3 + 2 * 1025;  // the sync and two blocks, then nothing
    doprompt([&] {
        runner.play(instrument);
        ASSERT_TRUE(
            testing_support::runEventsUntil([&] { return text("lblStatus") == "Block Received:  2"; }));
        EXPECT_EQ(text("lblInstructions"), kReceivingText);
        window.close();
    });
    EXPECT_THAT(prompter.messages, ElementsAre(counts(2, 2048)));
    EXPECT_EQ(values.gStepMode, StepValues::DownloadOnly);
    EXPECT_TRUE(fileDialog.calls.empty());
    EXPECT_TRUE(holds(programFolder.file("~tempidl.bin"), log.substr(0, 2048)))
        << "what came stays in the temporary file";
    EXPECT_TRUE(portFree());
}

TEST_F(DownloadWindowTest, ClosingByTheFrameInTheSaveStepAsksFirst)
{
    script.click("msgLeaveUnsaved", "cmdNo").click("msgLeaveUnsaved", "cmdYes");
    doprompt([&] {
        ASSERT_TRUE(downloadToSaveStep());
        window.close();
        EXPECT_TRUE(window.isVisible()) << "No keeps the save step";
        EXPECT_TRUE(inSaveStep());
        window.close();
    });
    EXPECT_EQ(values.gStepMode, StepValues::DownloadOnly) << "no conversion of an unsaved download";
    EXPECT_EQ(lastBinCfg(), "(none)");
    EXPECT_EQ(values.gLastBinFile, "");
    EXPECT_TRUE(holds(programFolder.file("~tempidl.bin"), log));
}

TEST_F(DownloadWindowTest, ChecksumErrorEndsWithTheCountsAndOffersThePartialFile)
{
    InstrumentScript instrument = logScript();
    instrument.badCheckByteBlock = 2;
    fileDialog.answers = {data.file("partial.bin")};
    doprompt([&] {
        ASSERT_TRUE(downloadToSaveStep(instrument));
        click("cmdBrowse");
        click("cmdOK");
    });
    EXPECT_THAT(prompter.messages, ElementsAre("serial port checksum error", counts(2, 2048)));
    EXPECT_TRUE(holds(data.file("partial.bin"), log.substr(0, 2048)));
    EXPECT_EQ(values.gStepMode, StepValues::AllSteps);
}

TEST_F(DownloadWindowTest, ASecondDownloadIsRefusedWhileAnotherOwnsTheTemporaryFile)
{
    testing_support::writeText(programFolder.file("~tempidl.bin"), "the first download's data");
    DownloadLock running(programFolder.file("~tempidl.bin"));
    ASSERT_EQ(running.take("logfetch download, port 3"), std::nullopt);
    window.doprompt();  // never shown
    ASSERT_EQ(prompter.messages.size(), 1U);
    EXPECT_THAT(prompter.messages[0],
                StartsWith("Another download is running: logfetch download, port 3 (process "));
    EXPECT_EQ(values.gStepMode, StepValues::DownloadOnly) << "no conversion follows";
    EXPECT_EQ(tempFile(), "the first download's data");
    EXPECT_TRUE(portFree()) << "the port was never opened";
}

TEST_F(DownloadWindowTest, ALongSaveFolderIsElidedAndTheWindowStaysCentredOnTheScreen)
{
    const std::string longFolder = "/" + std::string(300, 'f') + "/";
    values.gLastBinFile = longFolder + "run7.bin";
    doprompt([&] {
        ASSERT_TRUE(downloadToSaveStep());
        const QRect free = window.screen()->availableGeometry();
        EXPECT_TRUE(free.contains(window.frameGeometry()))
            << "window " << window.frameGeometry().width() << " wide, screen " << free.width();
        const QPoint offCentre = window.frameGeometry().center() - window.screen()->geometry().center();
        EXPECT_LE(offCentre.manhattanLength(), 4) << offCentre.x() << ", " << offCentre.y();
        const QLabel& path = control<QLabel>("lblFullPath");
        EXPECT_EQ(path.toolTip().toStdString(), longFolder) << "the whole path in the tool tip";
        EXPECT_LE(path.x() + path.width(), control<QFrame>("famGetFilename").width())
            << "not cut by the window";
        EXPECT_LT(path.width(), path.fontMetrics().horizontalAdvance(path.text())) << "shown elided";
        window.done(QDialog::Accepted);
    });
}

}  // namespace
}  // namespace logfetch
