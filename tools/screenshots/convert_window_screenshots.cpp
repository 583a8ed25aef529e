// Shows the real conversion window on the display and saves pictures of it:
// ready with a remembered file, mid-conversion with the bar part-filled, and
// the completion message; then the window with a folder of 300 characters.
// Run it under a display server, for example
//   xvfb-run -a -s "-screen 0 1280x800x24" convert_window_screenshots OUTPUT_FOLDER
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <filesystem>

#include "common/core/single_byte_text.h"
#include "common/widgets/message_box_prompter.h"
#include "common/widgets/qt_file_dialog.h"
#include "logfetch/program_identity.h"
#include "logfetch/testing/large_log.h"
#include "logfetch/windows/convert_window.h"
#include "testing/temp_folder.h"
#include "tools/screenshots/screen_picture.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString output = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");

    testing_support::TempFolder data;
    const std::string folder = data.file("lab-week-12");
    std::filesystem::create_directory(folder);
    const std::string binPath = folder + "/run7.bin";
    testing_support::writeFile(binPath, testing_support::largeIntervalLog(24 * 1024 * 1024));

    logfetch::StepValues values;
    values.gLastBinFile = binPath;
    values.gStepMode = logfetch::StepValues::ConversionOnly;
    common::MessageBoxPrompter prompter(common::fromBytes(logfetch::kProgramTitle));
    common::QtFileDialog fileDialog;
    logfetch::frmConfirmOverwrite confirmOverwrite(values);
    logfetch::frmConvertBINtoPRN window(values, prompter, fileDialog, confirmOverwrite, data.path());

    bool allSaved = true;
    bool midConversionSaved = false;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        const std::int64_t length = values.gBinFileLength;
        if (!midConversionSaved && length > 0 && values.gBinBytesRead * 100 / length >= 40) {
            midConversionSaved = true;
            QApplication::processEvents();  // let the bar paint first
            allSaved &= testing_support::saveScreenPicture(window, window.frameGeometry(),
                                                           output + "/convert-window-converting.png");
        }
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            watcher.stop();
            // Once the box has been placed and painted.
            QTimer::singleShot(300, box, [&, box] {
                allSaved &= testing_support::saveScreenPicture(
                    *box, box->frameGeometry(), output + "/convert-window-completed-message.png");
                box->accept();
            });
        }
    });
    QTimer::singleShot(500, &window, [&] {
        allSaved &= testing_support::saveScreenPicture(window, window.frameGeometry(),
                                                       output + "/convert-window-ready.png");
        watcher.start(5);
        window.findChild<QPushButton*>("cmdOK")->click();
    });
    window.ShowForm();

    // A folder of 300 characters: the window stays on the screen and in its
    // middle, the path elided in the middle.
    std::string longFolder = "/home/lab/instrument-data";
    while (longFolder.size() < 300)
        longFolder += "/fluorescence-study-week-12";
    longFolder.resize(300);
    values.gLastBinFile = longFolder + "/run8.bin";
    QTimer::singleShot(500, &window, [&] {
        allSaved &= testing_support::saveScreenPicture(window, window.frameGeometry(),
                                                       output + "/convert-window-long-path.png");
        window.findChild<QPushButton*>("cmdCancel")->click();
    });
    window.ShowForm();
    return allSaved && midConversionSaved ? 0 : 1;
}
