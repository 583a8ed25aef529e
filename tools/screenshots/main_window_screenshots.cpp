// Shows Logfetch's main window and its About box on the display and saves
// pictures of both. Run it under a display server, for example
//   xvfb-run -a -s "-screen 0 1280x800x24" main_window_screenshots OUTPUT_FOLDER
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QTimer>

#include "logfetch/windows/logfetch_windows.h"
#include "logfetch/windows/main_window.h"
#include "testing/temp_folder.h"
#include "tools/screenshots/screen_picture.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString output = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");

    testing_support::TempFolder programFolder;
    logfetch::StepValues values;
    logfetch::LogfetchWindows steps(values, programFolder.path());
    logfetch::frmMain window(values, steps, programFolder.path());
    window.show();

    bool allSaved = true;
    QTimer::singleShot(500, &window, [&] {
        allSaved &=
            testing_support::saveScreenPicture(window, window.frameGeometry(), output + "/main-window.png");
        QTimer::singleShot(300, &window, [&] {
            auto* about = window.findChild<QDialog*>(QStringLiteral("frmAbout"));
            allSaved &=
                testing_support::saveScreenPicture(*about, about->frameGeometry(), output + "/about-box.png");
            about->accept();
            QApplication::quit();
        });
        window.findChild<QAction*>(QStringLiteral("mnuHelpAbout"))->trigger();
    });
    QApplication::exec();
    return allSaved ? 0 : 1;
}
