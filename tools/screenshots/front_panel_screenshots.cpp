// Shows the emulator's front panel on the display and saves pictures of it at
// power-up and after GO. Run it under a display server, for example
//   xvfb-run -a -s "-screen 0 1280x800x24" front_panel_screenshots docs/screenshots
// Under QT_SCALE_FACTOR=2 the picture names end in "-200".
#include <QApplication>
#include <QTest>
#include <QTimer>

#include "common/widgets/twips.h"
#include "tabwright/windows/front_panel_widget.h"
#include "testing/widgets/named_control.h"
#include "tools/screenshots/screen_picture.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString output = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");

    // The panel as the emulator window places it, at its left edge.
    QWidget window;
    window.setWindowTitle(QStringLiteral("Emulator"));
    auto* panel = new tabwright::FrontPanelWidget(&window);
    panel->move(0, common::twipsToPixels(120));
    window.setFixedSize(panel->width(), panel->y() + panel->height() + common::twipsToPixels(120));
    // The pictures show fixed steps, whatever the real seconds do meanwhile.
    testing_support::namedControl<QTimer>(*panel, "Timer1").stop();
    window.show();

    const qreal scale = window.devicePixelRatio();
    const QString suffix = scale == 1 ? QString() : QStringLiteral("-%1").arg(qRound(scale * 100));
    const auto save = [&](const char* name) {
        return testing_support::saveScreenPicture(
            window, window.frameGeometry(),
            QStringLiteral("%1/front-panel-%2%3.png").arg(output, QLatin1String(name), suffix));
    };

    bool allSaved = true;
    QTimer::singleShot(500, &window, [&] {
        allSaved &= save("power-up");
        auto& picGO = testing_support::namedControl<QWidget>(*panel, "picGO");
        QTest::mouseClick(&picGO, Qt::LeftButton);
        panel->displayTimer_Timer();
        QTimer::singleShot(300, &window, [&] {
            allSaved &= save("go");
            QApplication::quit();
        });
    });
    QApplication::exec();
    return allSaved ? 0 : 1;
}
