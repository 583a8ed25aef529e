#include "testing/pty_instrument.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <thread>

namespace testing_support {

namespace {

using Clock = std::chrono::steady_clock;

[[noreturn]] void fail(const std::string& what)
{
    throw std::runtime_error("pty instrument: " + what + ": " + std::strerror(errno));
}

void makeRaw(int fd)
{
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0)
        fail("tcgetattr");
    ::cfmakeraw(&settings);
    if (::tcsetattr(fd, TCSANOW, &settings) != 0)
        fail("tcsetattr");
}

int millisecondsLeft(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

}  // namespace

PtyInstrument::PtyInstrument()
{
    char name[256] = {};
    if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0)
        fail("openpty");
    devicePath_ = name;
    makeRaw(slave_);
    makeRaw(master_);
    const int flags = ::fcntl(master_, F_GETFL);
    if (flags < 0 || ::fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0)
        fail("non-blocking instrument end");
    // A program the test starts must not inherit the ends: an inherited instrument end
    // would keep the line up after the cable is pulled.
    if (::fcntl(master_, F_SETFD, FD_CLOEXEC) != 0 || ::fcntl(slave_, F_SETFD, FD_CLOEXEC) != 0)
        fail("instrument ends kept from started programs");
}

PtyInstrument::~PtyInstrument()
{
    pullCable();
    if (slave_ >= 0)
        ::close(slave_);
}

std::size_t PtyInstrument::trySend(std::string_view bytes)
{
    if (master_ < 0)
        throw std::runtime_error("pty instrument: the cable is pulled");
    const ssize_t written = ::write(master_, bytes.data(), bytes.size());
    if (written < 0) {
        if (errno == EAGAIN || errno == EINTR)
            return 0;
        fail("write");
    }
    return static_cast<std::size_t>(written);
}

void PtyInstrument::send(std::string_view bytes, std::chrono::milliseconds timeout)
{
    auto deadline = Clock::now() + timeout;
    while (!bytes.empty()) {
        const std::size_t sent = trySend(bytes);
        bytes.remove_prefix(sent);
        if (sent > 0) {
            deadline = Clock::now() + timeout;
            continue;
        }
        if (Clock::now() >= deadline)
            throw std::runtime_error("pty instrument: the program takes nothing");
        pollfd writable{master_, POLLOUT, 0};
        ::poll(&writable, 1, std::min(millisecondsLeft(deadline), 50));
    }
}

void PtyInstrument::send(const std::vector<std::uint8_t>& bytes, std::chrono::milliseconds timeout)
{
    send(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), timeout);
}

std::string PtyInstrument::receiveAvailable()
{
    std::string received;
    char chunk[4096];
    while (master_ >= 0) {
        const ssize_t got = ::read(master_, chunk, sizeof chunk);
        if (got <= 0)
            break;  // nothing waits (EAGAIN), or the program's end is closed (EIO)
        received.append(chunk, static_cast<std::size_t>(got));
    }
    return received;
}

std::string PtyInstrument::receive(std::size_t count, std::chrono::milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    std::string received = receiveAvailable();
    while (received.size() < count && master_ >= 0) {
        const int left = millisecondsLeft(deadline);
        if (left == 0)
            break;
        pollfd readable{master_, POLLIN, 0};
        // When the program's end is closed the master reports a hang-up at
        // once; sleep briefly then instead of spinning.
        if (::poll(&readable, 1, left) > 0 && (readable.revents & POLLIN) == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(std::min(left, 10)));
        received += receiveAvailable();
    }
    return received;
}

std::size_t PtyInstrument::waitingForProgram() const
{
    int waiting = 0;
    if (slave_ < 0 || ::ioctl(slave_, FIONREAD, &waiting) != 0)
        return 0;
    return static_cast<std::size_t>(waiting);
}

bool PtyInstrument::waitUntilWaitingForProgram(std::size_t count, std::chrono::milliseconds timeout) const
{
    const auto deadline = Clock::now() + timeout;
    while (waitingForProgram() != count) {
        if (Clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void PtyInstrument::pullCable()
{
    if (master_ >= 0)
        ::close(master_);
    master_ = -1;
}

}  // namespace testing_support
