// Shows the real download window on the display, over a pseudo-terminal with
// the simulated instrument sending a 16 KiB log at 9600 baud, and saves
// pictures of it: waiting for the instrument, receiving (the block count
// moving), the final counts, and the save step; then the save step of a
// second download with a save folder of 300 characters. Run it under a display
// server, for example
//   xvfb-run -a -s "-screen 0 1280x800x24" download_window_screenshots OUTPUT_FOLDER
#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>

#include <functional>

#include "common/core/single_byte_text.h"
#include "common/widgets/message_box_prompter.h"
#include "common/widgets/qt_file_dialog.h"
#include "logfetch/ports/serialport_cfg.h"
#include "logfetch/program_identity.h"
#include "logfetch/testing/pty_instrument_runner.h"
#include "logfetch/testing/simulated_instrument.h"
#include "logfetch/windows/download_window.h"
#include "testing/port_mapping.h"
#include "testing/pty_instrument.h"
#include "testing/temp_folder.h"
#include "tools/screenshots/screen_picture.h"

namespace {

// Checks the condition every 50 ms and, once it holds, runs the action once.
void when(QObject& context, std::function<bool()> condition, std::function<void()> action)
{
    auto* poll = new QTimer(&context);
    QObject::connect(poll, &QTimer::timeout, &context,
                     [poll, condition = std::move(condition), action = std::move(action)] {
                         if (!condition())
                             return;
                         poll->stop();
                         poll->deleteLater();
                         action();
                     });
    poll->start(50);
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(common::fromBytes(logfetch::kProgramTitle));
    const QString output = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");

    constexpr int kPort = 1;
    testing_support::TemporaryPortMapping mapping;
    testing_support::PtyInstrument instrument;
    mapping.map(kPort, instrument.devicePath());
    testing_support::PtyInstrumentRunner runner(instrument,
                                                testing_support::PtyInstrumentRunner::Pace::LineSpeed);

    testing_support::TempFolder programFolder;
    logfetch::writePortNumber(programFolder.path(), kPort);
    logfetch::StepValues values;
    values.gStepMode = logfetch::StepValues::DownloadOnly;
    values.gLastBinFile = "/home/lab/data/run7.bin";
    common::MessageBoxPrompter prompter(common::fromBytes(logfetch::kProgramTitle));
    common::QtFileDialog fileDialog;
    logfetch::frmConfirmOverwrite confirmOverwrite(values);
    logfetch::frmDownload window(values, prompter, fileDialog, confirmOverwrite, programFolder.path(),
                                 logfetch::systemDownloadLink());

    testing_support::InstrumentScript log;
    log.textLines = {"K7RX DATA LOGGER"};
    log.data = testing_support::makeDataLog(16 * 1024);

    bool allSaved = true;
    const auto picture = [&](const QRect& area, const char* name) {
        allSaved &= testing_support::saveScreenPicture(window, area, output + "/" + name);
    };
    auto* status = window.findChild<QLabel*>(QStringLiteral("lblStatus"));
    auto* saveStep = window.findChild<QFrame*>(QStringLiteral("famGetFilename"));
    const auto messageBox = [] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); };

    QTimer::singleShot(700, &window, [&] {
        picture(window.frameGeometry(), "download-window-waiting.png");
        runner.play(log);
        when(
            window, [&] { return status->text() == QStringLiteral("Block Received:  5"); },
            [&] {
                picture(window.frameGeometry(), "download-window-receiving.png");
                when(
                    window, [&] { return messageBox() != nullptr; },
                    [&] {
                        QTimer::singleShot(300, &window, [&] {
                            QMessageBox* box = messageBox();
                            picture(window.frameGeometry().united(box->frameGeometry()),
                                    "download-window-finished.png");
                            box->accept();
                            when(
                                window, [&] { return saveStep->isVisible(); },
                                [&] {
                                    QTimer::singleShot(300, &window, [&] {
                                        picture(window.frameGeometry(), "download-window-save-step.png");
                                        window.done(QDialog::Accepted);
                                    });
                                });
                        });
                    });
            });
    });
    window.doprompt();

    // A save folder of 300 characters: the window stays on the screen and in
    // its middle, the path elided in the middle.
    std::string longFolder = "/home/lab/instrument-data";
    while (longFolder.size() < 300)
        longFolder += "/fluorescence-study-week-12";
    longFolder.resize(300);
    values.gLastBinFile = longFolder + "/run8.bin";
    log.textLines.clear();
    log.data = testing_support::makeDataLog(1024);
    QTimer::singleShot(700, &window, [&] {
        runner.play(log);
        when(
            window, [&] { return messageBox() != nullptr; },
            [&] {
                messageBox()->accept();
                when(
                    window, [&] { return saveStep->isVisible(); },
                    [&] {
                        QTimer::singleShot(300, &window, [&] {
                            picture(window.frameGeometry(), "download-save-long-path.png");
                            window.done(QDialog::Accepted);
                        });
                    });
            });
    });
    window.doprompt();
    return allSaved ? 0 : 1;
}
