#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>

#include "common/core/event_pump.h"
#include "common/core/program_folder.h"
#include "common/widgets/message_box_prompter.h"
#include "common/widgets/qt_file_dialog.h"
#include "common/widgets/twips.h"
#include "common/widgets/window_placement.h"
#include "testing/file_contents.h"
#include "testing/temp_folder.h"
#include "testing/widgets/modal_script.h"
#include "testing/widgets/modal_watchdog.h"
#include "testing/widgets/qt_application.h"

namespace common {
namespace {

using namespace std::chrono_literals;

class CommonWidgets : public ::testing::Test {
protected:
    void SetUp() override { testing_support::application(); }
    testing_support::ModalWatchdog watchdog;
};

TEST_F(CommonWidgets, TwipsAreFifteenToThePixel)
{
    EXPECT_EQ(twipsToPixels(3615), 241);
    EXPECT_EQ(twipsRect(240, 720, 3615, 375), QRect(16, 48, 241, 25));
    EXPECT_EQ(twipsSize(8925, 2385), QSize(595, 159));
}

TEST_F(CommonWidgets, CentresAWindowNotYetShownOnItsScreen)
{
    QWidget window;
    window.setFixedSize(300, 200);
    centreOnScreen(window);
    const QRect screen = window.screen()->geometry();
    EXPECT_EQ(window.pos(),
              QPoint(screen.left() + (screen.width() - 300) / 2, screen.top() + (screen.height() - 200) / 2));
}

TEST_F(CommonWidgets, MessageBoxHasTheProgramTitleTheTextAndOneOkButton)
{
    testing_support::ModalScript script;
    QString title, text;
    int buttons = 0;
    script.then("MessageBox", [&](QWidget& window) {
        auto& box = static_cast<QMessageBox&>(window);
        title = box.windowTitle();
        text = box.text();
        buttons = static_cast<int>(box.buttons().size());
        box.button(QMessageBox::Ok)->click();
    });
    MessageBoxPrompter prompter("Logfetch");
    prompter.showMessage("Error 53. File not found.\r\nThis BIN file is corrupted. \xB0");
    EXPECT_EQ(script.stepsLeft(), 0U);
    EXPECT_EQ(title, "Logfetch");
    EXPECT_EQ(text, QString::fromLatin1("Error 53. File not found.\nThis BIN file is corrupted. \xB0"));
    EXPECT_EQ(buttons, 1);
}

TEST_F(CommonWidgets, EventPumpRunsPendingEventsAtMostOncePerPeriod)
{
    int ticks = 0;
    QTimer timer;
    timer.setInterval(0);
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start();

    EventPump slow(1h);
    for (int i = 0; i < 100000; ++i)
        slow();
    EXPECT_EQ(slow.timesRun(), 0);
    EXPECT_EQ(ticks, 0);

    EventPump fast(1ms);
    const auto end = std::chrono::steady_clock::now() + 50ms;
    while (std::chrono::steady_clock::now() < end)
        fast();
    EXPECT_GE(fast.timesRun(), 2);
    EXPECT_LE(fast.timesRun(), 51);
    EXPECT_GT(ticks, 0);
}

TEST_F(CommonWidgets, ProgramFolderIsTheExecutablesFolderWhenItCanBeWritten)
{
    testing_support::TempFolder folder;
    EXPECT_EQ(chooseProgramFolder(folder.path(), folder.file("user")), folder.path());
    const std::string user = folder.file("user/data");
    EXPECT_EQ(chooseProgramFolder(folder.file("no-such-folder"), user), user);
    EXPECT_TRUE(std::filesystem::is_directory(user));
    EXPECT_FALSE(programFolder().empty());
}

TEST_F(CommonWidgets, AProgramWithItsDataFolderBesideItsBinFolderIsInstalled)
{
    testing_support::TempFolder prefix;
    std::filesystem::create_directories(prefix.file("bin"));
    std::filesystem::create_directories(prefix.file("share/logfetch"));
    const std::pair<std::string, bool> cases[] = {
        {prefix.file("bin/logfetch"), true},
        {prefix.file("bin/tabwright"), false},  // another program's data folder is not its own
        {prefix.file("logfetch"), false},       // a build tree: no share folder beside
    };
    for (const auto& [program, installed] : cases)
        EXPECT_EQ(isInstalledProgram(program), installed) << program;
}

class QtFileDialogTest : public CommonWidgets {
protected:
    QtFileDialogTest() { testing_support::writeFile(folder.file("run1.BIN"), {}); }

    // Runs the dialog, records what it showed and ends it with accept or reject.
    std::optional<std::string> run(bool saving, const std::string& name, bool accept)
    {
        testing_support::ModalScript script;
        script.then("CommonDialog1", [&](QWidget& window) {
            auto& dialog = static_cast<QFileDialog&>(window);
            shownFolder = dialog.directory().absolutePath().toStdString();
            shownFilters = dialog.nameFilters();
            QMetaObject::invokeMethod(&dialog, accept ? "accept" : "reject");
        });
        QtFileDialog dialogs;
        const FileDialogRequest request{folder.path() + "/", name,
                                        "Binary File (*.BIN)|*.BIN|All File (*.*)|*.*"};
        auto chosen = saving ? dialogs.save(request) : dialogs.open(request);
        EXPECT_EQ(script.stepsLeft(), 0U);
        return chosen;
    }

    testing_support::TempFolder folder;
    std::string shownFolder;
    QStringList shownFilters;
};

TEST_F(QtFileDialogTest, OpenStartsInTheFolderWithTheNameAndReportsACancel)
{
    EXPECT_EQ(run(false, "run1.BIN", true), folder.file("run1.BIN"));
    EXPECT_EQ(shownFolder, std::filesystem::canonical(folder.path()).string());
    EXPECT_EQ(shownFilters, (QStringList{"Binary File (*.BIN *.bin)", "All File (*)"}));
    EXPECT_EQ(run(false, "run1.BIN", false), std::nullopt);
}

TEST_F(QtFileDialogTest, SaveReturnsAnExistingOrNewNameWithoutAQuestionOfItsOwn)
{
    EXPECT_EQ(run(true, "run1.BIN", true), folder.file("run1.BIN"));
    EXPECT_EQ(run(true, "Idatalog.bin", true), folder.file("Idatalog.bin"));
    EXPECT_EQ(run(true, "Idatalog.bin", false), std::nullopt);
}

}  // namespace
}  // namespace common
