#include "logfetch/windows/convert_window.h"

#include <QComboBox>

#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "common/widgets/readings_chart.h"
#include "logfetch/testing/bin_builder.h"
#include "logfetch/testing/large_log.h"
#include "logfetch/windows/log_chart_window.h"
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
using ::testing::ElementsAre;
using ::testing::StartsWith;
using testing_support::readFile;
using testing_support::writeFile;

constexpr char kCompleted[] = "The conversion has completed.  Your ASCII file is: RUN1.PRN";
constexpr char kReadyText[] = "Which BIN file would you like to convert to an ASCII format?";

// What the window showed when the conversion told its outcome.
struct WindowAtMessage {
    QString status;
    bool okEnabled, cancelEnabled, browseEnabled, barVisible;
    std::string lastBinCfg;
    bool openAfterClose;  // when closeAtMessage asked to close it by the frame
};

class ConvertWindowTest : public ::testing::Test {
protected:
    // Keeps the state of the window at each message, besides the text.
    class WatchingPrompter : public testing_support::ScriptedPrompter {
    public:
        explicit WatchingPrompter(ConvertWindowTest& test) : test_(test) {}
        void showMessage(std::string_view text) override
        {
            ScriptedPrompter::showMessage(text);
            seen.push_back(test_.snapshot());
            if (closeAtMessage) {
                test_.window.close();
                seen.back().openAfterClose = test_.window.isVisible();
            }
        }
        std::vector<WindowAtMessage> seen;
        bool closeAtMessage = false;

    private:
        ConvertWindowTest& test_;
    };

    ConvertWindowTest()
    {
        writeFile(data.file("run1.bin"), bytesOf(PROJECT_DATA_DIR "/samples/worked-example.bin"));
        values.gStepMode = StepValues::ConversionOnly;
    }

    static testing_support::Bytes bytesOf(const std::string& path)
    {
        const std::string text = readFile(path);
        return {text.begin(), text.end()};
    }

    template <typename Control>
    Control& control(const char* name)
    {
        return testing_support::namedControl<Control>(window, name);
    }
    QString text(const char* label) { return control<QLabel>(label).text(); }
    bool enabled(const char* button) { return control<QPushButton>(button).isEnabled(); }
    void click(const char* button) { QTest::mouseClick(&control<QPushButton>(button), Qt::LeftButton); }

    WindowAtMessage snapshot()
    {
        const std::string cfg = programFolder.file("lastbin.cfg");
        return {text("lblStatus"),
                enabled("cmdOK"),
                enabled("cmdCancel"),
                enabled("cmdBrowse"),
                control<QFrame>("famPercent100").isVisible() && control<QFrame>("famPercentSome").isVisible(),
                fs::exists(cfg) ? readFile(cfg) : std::string("(none)"),
                false};
    }

    // Shows the window until it unloads; every scripted step must have run.
    void show()
    {
        window.ShowForm();
        EXPECT_EQ(script.stepsLeft(), 0U) << "steps left when the window closed";
        EXPECT_FALSE(window.isVisible());
    }

    std::string expected(const char* name)
    {
        return readFile(std::string(PROJECT_DATA_DIR "/samples/expected/") + name);
    }

    QApplication& app = testing_support::application();
    testing_support::TempFolder data;
    testing_support::TempFolder programFolder;
    StepValues values;
    WatchingPrompter prompter{*this};
    testing_support::ScriptedFileDialog fileDialog;
    frmConfirmOverwrite confirmOverwrite{values};
    frmConvertBINtoPRN window{values, prompter, fileDialog, confirmOverwrite, programFolder.path()};
    testing_support::ModalWatchdog watchdog;
    testing_support::ModalScript script;
};

TEST_F(ConvertWindowTest, WithoutARememberedFileBothLabelsAreEmptyAndOkIsDisabled)
{
    script.then("frmConvertBINtoPRN", [&](QWidget& shown) {
        EXPECT_EQ(shown.windowTitle(), "Conversion from BIN to PRN");
        EXPECT_EQ(text("lblStatus"), kReadyText);
        EXPECT_EQ(text("Label5"), "Full Path  : ");
        EXPECT_EQ(text("Label3"), "Filename :");
        EXPECT_EQ(text("Label2"), "% DONE  :");
        EXPECT_EQ(control<QPushButton>("cmdOK").text(), "OK");
        EXPECT_EQ(control<QPushButton>("cmdCancel").text(), "Cancel");
        EXPECT_EQ(control<QPushButton>("cmdBrowse").text(), "Browse");
        EXPECT_EQ(text("lblFullPath"), "");
        EXPECT_EQ(text("lblFilename"), "");
        EXPECT_FALSE(enabled("cmdOK"));
        EXPECT_FALSE(control<QFrame>("famPercent100").isVisible());
        click("cmdOK");  // disabled: nothing happens
        QTest::keyClick(&shown, Qt::Key_Escape);
    });
    show();
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_FALSE(fs::exists(programFolder.file("lastbin.cfg")));
}

TEST_F(ConvertWindowTest, OkConvertsTheRememberedFileIntoUpperCaseReportsAndCloses)
{
    values.gLastBinFile = data.file("run1.bin");
    prompter.closeAtMessage = true;
    script.then("frmConvertBINtoPRN", [&](QWidget&) {
        EXPECT_EQ(text("lblFullPath").toStdString(), data.path() + "/");
        EXPECT_EQ(text("lblFilename"), "run1.bin");
        EXPECT_TRUE(enabled("cmdOK"));
        EXPECT_TRUE(control<QPushButton>("cmdOK").isDefault());
        click("cmdOK");
    });
    show();
    EXPECT_THAT(prompter.messages, ElementsAre(kCompleted));
    EXPECT_EQ(readFile(data.file("RUN1.PRN")), expected("WORKED-EXAMPLE.PRN"));
    EXPECT_EQ(readFile(data.file("RUN1.CSV")), expected("WORKED-EXAMPLE.CSV"));
    EXPECT_EQ(values.gPrnFile, data.file("RUN1.PRN"));

    // While it converted: the converting state, with the file already remembered.
    ASSERT_EQ(prompter.seen.size(), 1U);
    const WindowAtMessage& during = prompter.seen[0];
    EXPECT_EQ(during.status, "Conversion has started... One Moment.");
    EXPECT_FALSE(during.okEnabled || during.cancelEnabled || during.browseEnabled);
    EXPECT_TRUE(during.barVisible);
    EXPECT_EQ(during.lastBinCfg, data.file("run1.bin") + "\r\n");
    EXPECT_TRUE(during.openAfterClose) << "closing by the frame must not end a running conversion";

    // The log's readings are charted in a window of their own.
    frmLogChart* chart = window.chartWindow();
    ASSERT_NE(chart, nullptr);
    EXPECT_TRUE(chart->isVisible());
    EXPECT_EQ(chart->objectName(), "frmLogChart");
    EXPECT_NE(chart->findChild<QWidget*>("chartReadings"), nullptr);
    EXPECT_NE(chart->findChild<QWidget*>("cmdExportPng"), nullptr);
    const auto statistics = chart->chart().statistics("Reading (FSU)");
    ASSERT_TRUE(statistics.has_value());
    EXPECT_GT(statistics->count, 0U);
}

TEST_F(ConvertWindowTest, EachDataSetOfALogIsChartedOnItsOwn)
{
    writeFile(data.file("week.bin"), bytesOf(PROJECT_DATA_DIR "/samples/lab-week.bin"));
    values.gLastBinFile = data.file("week.bin");
    script.then("frmConvertBINtoPRN", [&](QWidget&) { click("cmdOK"); });
    show();
    frmLogChart* chart = window.chartWindow();
    ASSERT_NE(chart, nullptr);
    auto* dataSets = chart->findChild<QComboBox*>("cboDataSet");
    ASSERT_NE(dataSets, nullptr);
    EXPECT_EQ(dataSets->count(), 3);
    dataSets->setCurrentIndex(2);
    EXPECT_EQ(chart->findChildren<common::ReadingsChart*>().size(), 1);
    EXPECT_TRUE(chart->chart().statistics("Reading (mg / l)").has_value());  // the third data set's unit
}

TEST_F(ConvertWindowTest, AFailedConversionShowsNoChart)
{
    writeFile(data.file("bad.bin"), {0, 0, 0});
    values.gLastBinFile = data.file("bad.bin");
    script.then("frmConvertBINtoPRN", [&](QWidget&) { click("cmdOK"); });
    show();
    EXPECT_EQ(window.chartWindow(), nullptr);
}

TEST_F(ConvertWindowTest, AnExistingReportInAnotherLetterCaseAnsweredNoChangesNothing)
{
    writeFile(data.file("Run1.Prn"), {'o', 'l', 'd'});
    values.gLastBinFile = data.file("run1.bin");
    script.click("frmConvertBINtoPRN", "cmdOK")
        .then("frmConfirmOverwrite",
              [&](QWidget& question) {
                  EXPECT_EQ(question.findChild<QLabel*>("lblExistingFile")->text().toStdString(),
                            data.file("run1.prn"));
                  QTest::mouseClick(question.findChild<QPushButton*>("cmdNo"), Qt::LeftButton);
              })
        .then("frmConvertBINtoPRN", [&](QWidget&) {
            EXPECT_EQ(text("lblStatus"), kReadyText);
            EXPECT_TRUE(enabled("cmdOK") && enabled("cmdCancel") && enabled("cmdBrowse"));
            click("cmdCancel");
        });
    show();
    EXPECT_EQ(values.gOverwriteAnswer, "N");
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(readFile(data.file("Run1.Prn")), "old");
    EXPECT_FALSE(fs::exists(data.file("RUN1.PRN")) || fs::exists(data.file("RUN1.CSV")));
    EXPECT_FALSE(fs::exists(programFolder.file("lastbin.cfg")));
}

TEST_F(ConvertWindowTest, AnExistingReportAnsweredYesIsReplacedWithItsTable)
{
    writeFile(data.file("RUN1.PRN"), {'o', 'l', 'd'});
    writeFile(data.file("RUN1.CSV"), {'o', 'l', 'd'});
    values.gLastBinFile = data.file("run1.bin");
    script.click("frmConvertBINtoPRN", "cmdOK").click("frmConfirmOverwrite", "cmdYes");
    show();
    EXPECT_EQ(values.gOverwriteFile, data.file("run1.prn"));
    EXPECT_THAT(prompter.messages, ElementsAre(kCompleted));
    EXPECT_EQ(readFile(data.file("RUN1.PRN")), expected("WORKED-EXAMPLE.PRN"));
    EXPECT_EQ(readFile(data.file("RUN1.CSV")), expected("WORKED-EXAMPLE.CSV"));
}

TEST_F(ConvertWindowTest, BrowseTakesTheChosenFileAndANameWithoutBinIsRefused)
{
    values.gLastBinFile = data.file("run1.bin");
    fileDialog.answers = {std::nullopt, std::string(), data.file("notes.txt"), data.file("ab")};
    const std::string folder = data.path() + "/";
    // A report of that name exists: the question comes before the name test.
    writeFile(data.file("NOTES.PRN"), {});
    script.then("frmConvertBINtoPRN", [&](QWidget&) {
        click("cmdBrowse");  // cancelled
        click("cmdBrowse");  // an empty name
        EXPECT_EQ(text("lblFullPath").toStdString(), folder);
        EXPECT_EQ(text("lblFilename"), "run1.bin");
        click("cmdBrowse");
        EXPECT_EQ(text("lblFullPath").toStdString(), folder);
        EXPECT_EQ(text("lblFilename"), "notes.txt");
        click("cmdOK");
    });
    script.click("frmConfirmOverwrite", "cmdYes");
    script.then("frmConvertBINtoPRN", [&](QWidget&) {
        EXPECT_THAT(prompter.messages, ElementsAre("Your filename must end in .BIN"));
        EXPECT_EQ(text("lblStatus"), kReadyText);
        EXPECT_TRUE(enabled("cmdOK") && enabled("cmdCancel") && enabled("cmdBrowse"));
        click("cmdBrowse");
        EXPECT_EQ(text("lblFilename"), "ab");
        click("cmdOK");  // too short for ".BIN": refused at once
        click("cmdCancel");
    });
    show();
    ASSERT_EQ(fileDialog.calls.size(), 4U);
    const auto& first = fileDialog.calls[0];
    EXPECT_EQ(first.form, testing_support::ScriptedFileDialog::Form::Open);
    EXPECT_EQ(first.request.folder, folder);
    EXPECT_EQ(first.request.fileName, "run1.bin");
    EXPECT_EQ(first.request.filter, "Binary File (*.BIN)|*.BIN|All File (*.*)|*.*");
    EXPECT_EQ(fileDialog.calls[3].request.fileName, "notes.txt");
    EXPECT_EQ(values.gOverwriteFile, data.file("notes.prn"));
    EXPECT_THAT(prompter.messages,
                ElementsAre("Your filename must end in .BIN", "Your filename must end in .BIN"));
    EXPECT_FALSE(fs::exists(programFolder.file("lastbin.cfg")));
}

TEST_F(ConvertWindowTest, AllStepsModeConvertsWithoutAClickAndOtherModesWait)
{
    values.gLastBinFile = data.file("run1.bin");
    script.then("frmConvertBINtoPRN", [&](QWidget&) {
        QTest::qWait(100);
        EXPECT_EQ(text("lblStatus"), kReadyText);
        click("cmdCancel");
    });
    show();
    EXPECT_TRUE(prompter.messages.empty());

    values.gStepMode = StepValues::AllSteps;
    show();
    EXPECT_THAT(prompter.messages, ElementsAre(kCompleted));
    EXPECT_EQ(readFile(data.file("RUN1.CSV")), expected("WORKED-EXAMPLE.CSV"));
    EXPECT_EQ(readFile(programFolder.file("lastbin.cfg")), data.file("run1.bin") + "\r\n");
}

TEST_F(ConvertWindowTest, TheWindowClosesAfterAFailedConversion)
{
    writeFile(data.file("bad.BIN"), {0x00, 0x11, 0x22, 0x33});
    values.gLastBinFile = data.file("bad.BIN");
    values.gStepMode = StepValues::AllSteps;
    show();
    EXPECT_THAT(prompter.messages, ElementsAre("This BIN is corrupt"));
}

TEST_F(ConvertWindowTest, AMissingRememberedFolderHoldsNoReportAndTheConversionTellsWhy)
{
    const std::string gone = data.file("gone") + "/run1.bin";
    values.gLastBinFile = gone;
    values.gStepMode = StepValues::AllSteps;
    show();
    ASSERT_EQ(prompter.messages.size(), 1U);
    EXPECT_THAT(prompter.messages[0], StartsWith("Error 53. "));
    EXPECT_EQ(readFile(programFolder.file("lastbin.cfg")), gone + "\r\n");
    EXPECT_EQ(watchdog.windowsClosed(), 0);
}

TEST_F(ConvertWindowTest, TheBarShowsTheShareReadAndIgnoresAZeroLength)
{
    script.then("frmConvertBINtoPRN", [&](QWidget&) {
        const int whole = control<QFrame>("famPercent100").contentsRect().width();
        auto& bar = control<QFrame>("famPercentSome");
        EXPECT_EQ(bar.width(), 0);
        values.gBinFileLength = 400;
        values.gBinBytesRead = 100;
        QTest::qWait(30);
        EXPECT_EQ(bar.width(), whole / 4);
        EXPECT_EQ(bar.height(), control<QFrame>("famPercent100").contentsRect().height());
        values.gBinFileLength = 0;
        values.gBinBytesRead = 300;
        QTest::qWait(30);
        EXPECT_EQ(bar.width(), whole / 4);
        click("cmdCancel");
    });
    show();
}

TEST_F(ConvertWindowTest, TheBarGrowsWhileALongConversionRuns)
{
    writeFile(data.file("big.bin"), testing_support::largeIntervalLog(3'000'000));
    values.gLastBinFile = data.file("big.bin");
    values.gStepMode = StepValues::AllSteps;

    std::vector<int> widths;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout,
                     [&] { widths.push_back(control<QFrame>("famPercentSome").width()); });
    sampler.start(1);
    show();
    const int whole = control<QFrame>("famPercent100").contentsRect().width();
    EXPECT_TRUE(std::any_of(widths.begin(), widths.end(), [&](int w) { return w > 0 && w < whole; }))
        << widths.size() << " samples";
    EXPECT_TRUE(std::is_sorted(widths.begin(), widths.end()));
}

// Inside the screen's free area and in the middle of the screen.
void expectOnScreenAndCentred(const QWidget& window)
{
    const QRect free = window.screen()->availableGeometry();
    EXPECT_TRUE(free.contains(window.frameGeometry()))
        << "window " << window.frameGeometry().width() << " wide at " << window.frameGeometry().x()
        << ", screen " << free.width() << " wide";
    const QPoint offCentre = window.frameGeometry().center() - window.screen()->geometry().center();
    EXPECT_LE(offCentre.manhattanLength(), 4) << offCentre.x() << ", " << offCentre.y();
}

TEST_F(ConvertWindowTest, ALongPathIsElidedAndTheWindowStaysOnTheScreenAfterBrowseToo)
{
    const std::string longFolder = "/" + std::string(300, 'f') + "/";
    const std::string otherFolder = "/lab/" + std::string(400, 'g') + "/";
    values.gLastBinFile = longFolder + "run1.bin";
    fileDialog.answers = {otherFolder + "run2.bin"};
    script.then("frmConvertBINtoPRN", [&](QWidget& shown) {
        expectOnScreenAndCentred(shown);
        const QLabel& path = control<QLabel>("lblFullPath");
        EXPECT_EQ(path.text().toStdString(), longFolder);
        EXPECT_EQ(path.toolTip().toStdString(), longFolder) << "the whole path in the tool tip";
        EXPECT_LT(path.width(), path.fontMetrics().horizontalAdvance(path.text())) << "shown elided";
        for (const char* button : {"cmdOK", "cmdCancel", "cmdBrowse"}) {
            const QPushButton& shownButton = control<QPushButton>(button);
            EXPECT_TRUE(shown.rect().contains(QRect(shownButton.mapTo(&shown, QPoint()), shownButton.size())))
                << button;
        }
        click("cmdBrowse");
        EXPECT_EQ(text("lblFullPath").toStdString(), otherFolder);
        expectOnScreenAndCentred(shown);
        click("cmdCancel");
    });
    show();
}

}  // namespace
}  // namespace logfetch
