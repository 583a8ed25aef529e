#pragma once

#include <QObject>
#include <QTimer>

#include <memory>
#include <optional>
#include <string>

#include "common/core/prompter.h"
#include "logfetch/download/clock.h"
#include "logfetch/download/download_view.h"
#include "logfetch/download/temp_file.h"
#include "logfetch/download/transfer_engine.h"
#include "serial/serial_port.h"

namespace logfetch {

// Runs the transfer engine from the event loop: each byte that arrives on the
// port is one loop turn, in arrival order, and a timer brings the turns that
// find nothing so that the time-out can fire. Nothing polls or waits.
//
// The engine is never re-entered: while one of its message boxes is open
// the driver takes no bytes, and they wait in the port's buffer. When the
// transfer has ended the driver shows the final counts, closes the port and
// emits finished(); state() then tells a cancelled download (Cancelled) from
// one whose file is to be saved (any other state).
class DownloadDriver : public QObject {
    Q_OBJECT

public:
    static constexpr int kIdleTurnMilliseconds = 100;

    // The port is open and its buffers cleared; tempFilePath is where the
    // data go ("~tempidl.bin" in the program's folder).
    DownloadDriver(serial::SerialPort& port, DownloadView& view, common::Prompter& prompter, Clock& clock,
                   std::string tempFilePath, QObject* parent = nullptr);
    ~DownloadDriver() override;

    // The transfer's start; returns at once, the event loop does the rest.
    void start();
    // Cancel: noticed at the next turn of the event loop.
    void cancel();

    bool running() const { return started_ && !ended_; }
    TransferEngine::State state() const { return engine_.state(); }
    std::int32_t blockCount() const { return engine_.blockCount(); }
    std::int64_t bytesInFile() const { return engine_.bytesInFile(); }
    bool reachedEnd() const { return engine_.reachedEnd(); }
    std::string finalCounts() const { return engine_.finalCounts(); }

signals:
    void finished();

private:
    class World;

    // Takes every byte waiting, one turn each, and with `idle` one turn that
    // finds nothing; ends the transfer once the loop's test fails.
    void takeTurns(bool idle);
    void end();

    serial::SerialPort& port_;
    common::Prompter& prompter_;
    TempFile tempFile_;
    std::unique_ptr<World> world_;
    TransferEngine engine_;
    QTimer idleTimer_;
    bool started_ = false;
    bool inTurn_ = false;
    bool ended_ = false;
    std::optional<serial::PortError> lostLink_;  // reported, not yet acted on
};

}  // namespace logfetch
