#include "common/core/interrupt_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <stdexcept>

namespace common {

namespace {

// A hang-up (the terminal closed) ends the download as SIGTERM does.
constexpr std::array kSignals = {SIGINT, SIGTERM, SIGHUP};

// Only async-signal-safe calls may run in the handler: it reads an int and
// calls write().
volatile sig_atomic_t writeEnd = -1;
std::array<struct sigaction, kSignals.size()> previousActions;
// A signal ignored when the program started (nohup ignores SIGHUP) stays ignored.
std::array<bool, kSignals.size()> armed{};

void onSignal(int signalNumber)
{
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    if (writeEnd >= 0) [[maybe_unused]]
        const ssize_t ignored = ::write(writeEnd, &byte, 1);
    errno = savedErrno;
}

}  // namespace

InterruptSignals::InterruptSignals()
{
    if (::pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0)
        throw std::runtime_error("cannot create the pipe for Ctrl-C");
    notifier_ = std::make_unique<QSocketNotifier>(pipe_[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &InterruptSignals::takeSignal);
    writeEnd = pipe_[1];

    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
        ::sigaction(kSignals[i], nullptr, &previousActions[i]);
        armed[i] = previousActions[i].sa_handler != SIG_IGN;
        if (armed[i])
            ::sigaction(kSignals[i], &action, nullptr);
    }
}

InterruptSignals::~InterruptSignals()
{
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
        if (armed[i])
            ::sigaction(kSignals[i], &previousActions[i], nullptr);
    }
    writeEnd = -1;
    notifier_.reset();
    ::close(pipe_[0]);
    ::close(pipe_[1]);
}

void InterruptSignals::takeSignal()
{
    unsigned char byte = 0;
    while (::read(pipe_[0], &byte, 1) == 1) {
        if (received_ != 0)
            continue;
        received_ = byte;
        emit interrupted(byte);
    }
}

void endBySignal(int signalNumber)
{
    ::signal(signalNumber, SIG_DFL);
    ::raise(signalNumber);
    ::_exit(128 + signalNumber);  // only when the signal is blocked
}

}  // namespace common
