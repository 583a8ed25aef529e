#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <memory>

namespace common {

// Turns SIGINT (Ctrl-C), SIGTERM and SIGHUP into a Qt signal on the event loop. The
// signal handler only writes the signal's number into a pipe; a socket
// notifier on the pipe's other end emits interrupted() from the event loop,
// where any Qt call is safe. The handlers reset themselves, so a second
// Ctrl-C ends the program at once. A signal that was ignored when the object
// was made (SIGHUP under nohup) is left ignored. One object at a time; the
// earlier handlers come back when it goes.
class InterruptSignals : public QObject {
    Q_OBJECT

public:
    InterruptSignals();
    ~InterruptSignals() override;
    InterruptSignals(const InterruptSignals&) = delete;
    InterruptSignals& operator=(const InterruptSignals&) = delete;

    // The number of the first signal that came, 0 while none has.
    int received() const { return received_; }

signals:
    void interrupted(int signalNumber);

private:
    void takeSignal();

    int pipe_[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier_;
    int received_ = 0;
};

// Ends the process as that signal would have, so that a shell running it in
// a script sees the interruption and stops the script too.
[[noreturn]] void endBySignal(int signalNumber);

}  // namespace common
