#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "logfetch/download/clock.h"
#include "serial/serial_port.h"

namespace logfetch {

inline constexpr char kDefaultBinFileName[] = "Idatalog.bin";

struct DownloadOptions {
    std::optional<std::string> portText;  // --port; else "serialport.cfg" of the program's folder
    std::string outputPath = kDefaultBinFileName;
    bool force = false;  // replace an existing output file
};

// A download without a window: opens the port, runs the transfer from the
// event loop, and copies "~tempidl.bin" of the program's folder (which stays)
// to the output file. Progress and messages go to err, the final counts to
// out. Exit status 0 only when the transfer reached its end marker and the
// file was saved; a download that ended early (bad check byte, lost link) is
// saved all the same, and the status says it is incomplete.
class DownloadCommand {
public:
    static constexpr int kFailed = 1;

    DownloadCommand(DownloadOptions options, std::string programFolder, serial::SerialPort& port,
                    Clock& clock, std::ostream& out, std::ostream& err);

    // Runs the whole download in an event loop of its own; returns the exit status.
    int run();
    // Cancel, as the window's button: noticed at the next turn of the loop.
    // Before run() it cancels the download as soon as it starts.
    void cancel();

private:
    // After a transfer that was not cancelled: the copy to the output file.
    int save(bool complete);
    bool outputIsTempFile() const;
    // Whether the output may be written, told when it may not: an existing file without
    // --force, or a folder that takes no new file.
    bool outputCanBeSaved() const;
    // Receives the download through the open port and saves it; the exit status.
    int receive();

    DownloadOptions options_;
    std::string programFolder_;
    std::string tempFilePath_;
    serial::SerialPort& port_;
    Clock& clock_;
    std::ostream& out_;
    std::ostream& err_;
    bool cancelRequested_ = false;
    std::function<void()> cancelRunning_;
};

}  // namespace logfetch
