#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <QObject>
#include <QThread>

#include "serial/serial_port.h"

namespace serial {

class QtSerialPort;

// A SerialPort read on a thread of its own: the device is read as fast as it sends,
// whatever the owner's thread is busy with, into a bounded text the owner takes from. A
// fast device (a pseudo-terminal) then sends while the owner works on what it took.
//
// The port itself lives on the reading thread: opening, closing, clearing and sending run
// there, the owner waiting for each. Taking waits only for the reading thread to read what
// the system holds at that moment, never for the device. The handlers are called on the
// owner's thread, from its event loop:
// - the arrival handler once at least `noticeBytes` bytes wait untaken, and then not again
//   until the next take (at 1, it is told of every arrival, as a port read on the owner's
//   thread is);
// - the link-lost handler once after the device went away, every byte received before
//   then being takeable by then.
//
// What waits untaken is bounded (kWaitingBytes, and the Qt port's own read buffer behind
// it); once full the reading thread stops taking and the device waits, until the owner
// takes again.
class BackgroundReadPort final : public SerialPort {
public:
    explicit BackgroundReadPort(std::size_t noticeBytes = 1);
    ~BackgroundReadPort() override;
    BackgroundReadPort(const BackgroundReadPort&) = delete;
    BackgroundReadPort& operator=(const BackgroundReadPort&) = delete;

    static constexpr std::size_t kWaitingBytes = std::size_t{1} << 20;

    void setPortNumber(int number) override;
    int portNumber() const override;
    void open() override;
    bool isOpen() const override;
    void close() override;
    void clearBuffers() override;
    std::string takePendingText() override;
    int takeByte() override;
    bool sendByte(std::uint8_t byte) override;
    void setBytesArrivedHandler(std::function<void()> handler) override;
    void setLinkLostHandler(std::function<void(const PortError&)> handler) override;

private:
    // Runs `step` on the reading thread and waits for it; what it throws is thrown here.
    void onReader(const std::function<void()>& step) const;
    // On the reading thread: reads one piece of what the port has received onto the end of
    // the waiting text, whatever its bound. Returns the bytes read.
    std::size_t readPiece();
    // On the reading thread: moves what the port has received into the waiting text, up
    // to its bound, and tells the owner when enough waits.
    void readAhead();
    // On the reading thread, once the device has gone: what it received before joins the
    // waiting text, whatever its bound, and then the owner is told.
    void passOnLostLink(const PortError& error);
    // With the lock held, after the owner took waiting text: the next notice is due, and
    // whether the reading thread had stopped at the bound (it must then go on).
    bool tookWaiting();
    // Has the reading thread go on reading, from its event loop.
    void readOnLater();
    // The first waiting byte, or -1 when none waits.
    int takeWaitingByte();
    // Drops the waiting text (a close or a clear).
    void dropWaiting();
    // Queues `call` for the owner's thread.
    void tellOwner(std::function<void()> call);

    std::size_t noticeBytes_;
    QThread thread_;
    std::unique_ptr<QObject> readerContext_;  // lives on the reading thread
    QtSerialPort* port_ = nullptr;            // made, used and deleted on the reading thread
    QObject ownerContext_;                    // lives on the owner's thread

    // Guards the five below; waiting_'s bytes past waitingEnd_ are the reading thread's own.
    std::mutex mutex_;
    std::vector<char> waiting_;    // the waiting text, and room for the next read after it
    std::size_t waitingEnd_ = 0;   // where the waiting text ends in waiting_
    std::size_t waitingFrom_ = 0;  // waiting_'s bytes before this were taken byte by byte
    bool noticeDue_ = true;
    bool readerStopped_ = false;  // the waiting text was full; reading goes on at the next take

    std::function<void()> bytesArrived_;                     // the owner's thread only
    std::function<void(const PortError&)> linkLostHandler_;  // the owner's thread only
};

}  // namespace serial
