// Shows Tabwright's emulator window beside a stand-in for the main window and
// saves pictures of it with the K7RX chosen (measurement limits 20 .. 80 kept
// apart, temperature at 50) and with the VQ-480 chosen (inject box checked).
// Run it under a display server, for example
//   xvfb-run -a -s "-screen 0 1280x800x24" emulator_window_screenshots docs/screenshots
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QPointer>
#include <QScrollBar>
#include <QTimer>

#include "tabwright/testing/machine_choice.h"
#include "tabwright/testing/manual_steady_clock.h"
#include "tabwright/windows/emulation_window.h"
#include "testing/scripted_prompter.h"
#include "testing/widgets/named_control.h"
#include "tools/screenshots/screen_picture.h"

namespace {

using testing_support::namedControl;

void moveWithFocus(QWidget& window, const char* bar, int value)
{
    auto& scroll = namedControl<QScrollBar>(window, bar);
    QFocusEvent in(QEvent::FocusIn, Qt::MouseFocusReason);
    QApplication::sendEvent(&scroll, &in);
    scroll.setValue(value);
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString output = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");

    tabwright::EmulatedInstruments instruments;
    tabwright::EmulatorSource handover;
    testing_support::ScriptedPrompter prompter;
    // The pictures show fixed steps, whatever the real seconds do meanwhile.
    testing_support::ManualSteadyClock paceClock;
    const auto speak = [&paceClock](tabwright::frmEmulation& emulator) {
        paceClock.advance(tabwright::EmulatorPacer::kOutputInterval);
        emulator.outputTimer_Timer();
    };

    QWidget main;
    main.setWindowTitle(QStringLiteral("Tabwright"));
    main.setGeometry(20, 40, 420, 300);
    main.show();
    QPointer<tabwright::frmEmulation> window =
        new tabwright::frmEmulation(instruments, handover, prompter, &main, &paceClock);
    namedControl<QTimer>(*window, "Timer1").stop();
    namedControl<QTimer>(*window, "Timer2").stop();
    moveWithFocus(*window, "scrollMeasureMin", 80);
    moveWithFocus(*window, "scrollMeasureMin", 20);
    namedControl<QCheckBox>(*window, "chkMaintainMeasureMinMaxWindow").click();
    speak(*window);
    window->show();

    const auto save = [&](const char* name) {
        return testing_support::saveScreenPicture(
            *window, window->frameGeometry(),
            QStringLiteral("%1/tabwright-emulator-%2.png").arg(output, QLatin1String(name)));
    };
    bool allSaved = true;
    QTimer::singleShot(500, window, [&] {
        allSaved &= save("k7rx");
        testing_support::chooseMachine(*window, "VQ-480");
        namedControl<QCheckBox>(*window, "chkInjectTab").click();
        namedControl<QScrollBar>(*window, "VScroll1").setValue(600);
        speak(*window);
        speak(*window);
        QTimer::singleShot(300, window, [&] {
            allSaved &= save("vq480");
            QApplication::quit();
        });
    });
    QApplication::exec();
    return allSaved ? 0 : 1;
}
