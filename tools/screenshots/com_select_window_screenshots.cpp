// Shows the real port selection dialog on the display and saves pictures of
// it: as it opens, and with its list open. COM1, COM3 and COM4 are free
// pseudo-terminals, COM2 is held open by another port, COM5 has no device,
// and "serialport.cfg" holds 3. Run it under a display server, for example
//   xvfb-run -a -s "-screen 0 1280x800x24" com_select_window_screenshots OUTPUT_FOLDER
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QTimer>

#include "common/core/single_byte_text.h"
#include "common/widgets/message_box_prompter.h"
#include "logfetch/ports/serialport_cfg.h"
#include "logfetch/program_identity.h"
#include "logfetch/windows/com_select_window.h"
#include "serial/qt_serial_port.h"
#include "testing/port_mapping.h"
#include "testing/pty_instrument.h"
#include "testing/temp_folder.h"
#include "tools/screenshots/screen_picture.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString output = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");

    testing_support::TemporaryPortMapping mapping;
    testing_support::PtyInstrument com1, com2, com3, com4;
    mapping.map(1, com1.devicePath());
    mapping.map(2, com2.devicePath());
    mapping.map(3, com3.devicePath());
    mapping.map(4, com4.devicePath());
    mapping.map(5, "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART-if00-port0");
    serial::QtSerialPort otherProgram;
    otherProgram.setPortNumber(2);
    otherProgram.open();

    testing_support::TempFolder programFolder;
    logfetch::writePortNumber(programFolder.path(), 3);
    serial::QtSerialPort probePort;
    common::MessageBoxPrompter prompter(common::fromBytes(logfetch::kProgramTitle));
    logfetch::frmComSelect window(probePort, prompter, programFolder.path());

    bool allSaved = true;
    auto* combo = window.findChild<QComboBox*>(QStringLiteral("cboPortOptions"));
    // The dialog probes the ports before it shows itself, which can take longer than the wait
    // on a busy machine: the wait starts once the dialog's own event loop runs.
    QTimer::singleShot(0, &window, [&] {
        QTimer::singleShot(500, &window, [&] {
            allSaved &= testing_support::saveScreenPicture(window, window.frameGeometry(),
                                                           output + "/com-select-window.png");
            combo->showPopup();
            QTimer::singleShot(300, &window, [&] {
                const QWidget* popup = combo->view()->window();
                allSaved &= testing_support::saveScreenPicture(
                    window, window.frameGeometry().united(popup->frameGeometry()),
                    output + "/com-select-window-list-open.png");
                combo->hidePopup();
                window.reject();
            });
        });
    });
    window.ShowForm();
    return allSaved ? 0 : 1;
}
