// Measures an unattended download of a 16 KiB log from the simulated
// instrument paced at 9600 baud over a pseudo-terminal, against the time the
// bytes need on the line. Prints figures; not a test.
#include <QTimer>

#include <chrono>
#include <iostream>
#include <sstream>

#include "logfetch/cli/download_command.h"
#include "logfetch/download/time_of_day_clock.h"
#include "logfetch/testing/pty_instrument_runner.h"
#include "logfetch/testing/simulated_instrument.h"
#include "serial/qt_serial_port.h"
#include "testing/event_loop.h"
#include "testing/port_mapping.h"
#include "testing/pty_instrument.h"
#include "testing/temp_folder.h"

int main()
{
    using Clock = std::chrono::steady_clock;
    constexpr int kPort = 6;
    constexpr std::size_t kLogBytes = 16 * 1024;
    testing_support::ensureCoreApplication();
    testing_support::TemporaryPortMapping mapping;
    testing_support::PtyInstrument pty;
    mapping.map(kPort, pty.devicePath());
    testing_support::TempFolder program;
    serial::QtSerialPort port;
    logfetch::TimeOfDayClock clock;
    std::ostringstream out;
    std::ostringstream err;
    logfetch::DownloadOptions options;
    options.portText = std::to_string(kPort);
    options.outputPath = program.file("run16k.bin");
    testing_support::PtyInstrumentRunner runner(pty, testing_support::PtyInstrumentRunner::Pace::LineSpeed);
    testing_support::InstrumentScript script;
    script.data = testing_support::makeDataLog(kLogBytes);

    logfetch::DownloadCommand command(options, program.path(), port, clock, out, err);
    Clock::time_point began;
    QTimer::singleShot(0, [&] {
        began = Clock::now();
        runner.play(script);
    });
    const int status = command.run();
    const double took = std::chrono::duration<double>(Clock::now() - began).count();

    // Sync, data, one check byte per block (the last one is the closing
    // byte), at ten bits a byte.
    const std::size_t lineBytes = 3 + kLogBytes + kLogBytes / 1024 + (kLogBytes % 1024 != 0 ? 1 : 0);
    std::cout << "exit status " << status << "; stdout: " << out.str();
    std::cout << "16 KiB log: " << lineBytes << " bytes on the line need " << lineBytes / 960.0
              << " s at 9600 baud; the download took " << took << " s\n";
    return status;
}
