// Shows Tabwright's port choice, macro settings and About box on the display
// and saves a picture of each. COM 2 and COM 6 are pseudo-terminals, so the
// port choice shows devices. Run it under a display server, for example
//   xvfb-run -a -s "-screen 0 1280x800x24" tabwright_dialog_screenshots OUTPUT_FOLDER
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QTimer>

#include <functional>

#include "tabwright/windows/about_window.h"
#include "tabwright/windows/com_port_window.h"
#include "tabwright/windows/excel_macro_window.h"
#include "testing/port_mapping.h"
#include "testing/pty_instrument.h"
#include "tools/screenshots/screen_picture.h"

namespace {

// Once the dialog is on the screen: takes its picture, then does `next`, which
// must close it.
void pictureWhenShown(QDialog& dialog, const QString& path, bool& allSaved, std::function<void()> next)
{
    QTimer::singleShot(500, &dialog, [&dialog, path, &allSaved, next = std::move(next)] {
        allSaved &= testing_support::saveScreenPicture(dialog, testing_support::withTitleBar(dialog), path);
        next();
    });
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString output = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    bool allSaved = true;

    testing_support::TemporaryPortMapping mapping;
    testing_support::PtyInstrument com2, com6;
    mapping.map(2, com2.devicePath());
    mapping.map(6, com6.devicePath());

    tabwright::frmComPort port;
    auto* list = port.findChild<QComboBox*>(QStringLiteral("cboComPort"));
    pictureWhenShown(port, output + "/tabwright-com-port.png", allSaved, [&] {
        list->showPopup();
        QTimer::singleShot(300, &port, [&] {
            const QWidget* popup = list->view()->window();
            allSaved &=
                testing_support::saveScreenPicture(port, port.frameGeometry().united(popup->frameGeometry()),
                                                   output + "/tabwright-com-port-list-open.png");
            list->hidePopup();
            port.reject();
        });
    });
    port.GetPort(6);

    tabwright::frmExcelMacro macro;
    macro.setMacroEnable(true);
    macro.setMacroName("ChartReadings");
    pictureWhenShown(macro, output + "/tabwright-excel-macro.png", allSaved, [&] { macro.reject(); });
    macro.ShowForm();

    tabwright::frmAbout about;
    pictureWhenShown(about, output + "/tabwright-about.png", allSaved, [&] { about.reject(); });
    about.ShowForm();

    return allSaved ? 0 : 1;
}
