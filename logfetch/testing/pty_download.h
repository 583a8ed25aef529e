#pragma once

#include <QObject>

#include <optional>
#include <string>

#include "common/core/prompter.h"
#include "logfetch/download/download_driver.h"
#include "logfetch/testing/fake_clock.h"
#include "logfetch/testing/recording_download_view.h"
#include "serial/qt_serial_port.h"
#include "testing/event_loop.h"
#include "testing/port_mapping.h"
#include "testing/pty_instrument.h"

namespace testing_support {

// The program's side of a download over a pseudo-terminal: the port opened
// and cleared at a mapped COM number, as the download window leaves it, and a
// driver on it with an injected clock.
struct PtyDownload {
    explicit PtyDownload(int portNumber)
    {
        ensureCoreApplication();
        mapping.map(portNumber, pty.devicePath());
        port.setPortNumber(portNumber);
        port.open();
        port.clearBuffers();
    }

    logfetch::DownloadDriver& makeDriver(common::Prompter& prompter, const std::string& tempFilePath)
    {
        driver.emplace(port, view, prompter, clock, tempFilePath);
        QObject::connect(&*driver, &logfetch::DownloadDriver::finished, [this] { finished = true; });
        return *driver;
    }

    TemporaryPortMapping mapping;
    PtyInstrument pty;
    serial::QtSerialPort port;
    RecordingDownloadView view;
    FakeClock clock;
    std::optional<logfetch::DownloadDriver> driver;
    bool finished = false;
};

}  // namespace testing_support
