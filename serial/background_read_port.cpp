#include "serial/background_read_port.h"

#include <cstring>
#include <exception>
#include <utility>

#include <QMetaObject>

#include "serial/qt_serial_port.h"

namespace serial {

namespace {

// What the reading thread reads at a time: a pseudo-terminal gives at most 4 KiB a read.
constexpr std::size_t kReadPieceBytes = std::size_t{64} << 10;

}  // namespace

BackgroundReadPort::BackgroundReadPort(std::size_t noticeBytes)
    : noticeBytes_(noticeBytes), readerContext_(std::make_unique<QObject>())
{
    thread_.setObjectName("serial port reader");
    readerContext_->moveToThread(&thread_);
    thread_.start();
    onReader([this] {
        port_ = new QtSerialPort();
        port_->setBytesArrivedHandler([this] { readAhead(); });
        port_->setLinkLostHandler([this](const PortError& error) { passOnLostLink(error); });
    });
}

BackgroundReadPort::~BackgroundReadPort()
{
    onReader([this] {
        delete port_;
        port_ = nullptr;
    });
    thread_.quit();
    thread_.wait();
}

void BackgroundReadPort::onReader(const std::function<void()>& step) const
{
    std::exception_ptr failure;
    QMetaObject::invokeMethod(
        readerContext_.get(),
        [&step, &failure] {
            try {
                step();
            } catch (...) {
                failure = std::current_exception();
            }
        },
        Qt::BlockingQueuedConnection);
    if (failure)
        std::rethrow_exception(failure);
}

void BackgroundReadPort::tellOwner(std::function<void()> call)
{
    QMetaObject::invokeMethod(&ownerContext_, std::move(call), Qt::QueuedConnection);
}

void BackgroundReadPort::setPortNumber(int number)
{
    onReader([this, number] { port_->setPortNumber(number); });
}

int BackgroundReadPort::portNumber() const
{
    int number = kFirstPortNumber;
    onReader([this, &number] { number = port_->portNumber(); });
    return number;
}

void BackgroundReadPort::open()
{
    dropWaiting();
    onReader([this] { port_->open(); });
}

bool BackgroundReadPort::isOpen() const
{
    bool open = false;
    onReader([this, &open] { open = port_->isOpen(); });
    return open;
}

void BackgroundReadPort::close()
{
    onReader([this] { port_->close(); });
    dropWaiting();
}

void BackgroundReadPort::clearBuffers()
{
    onReader([this] { port_->clearBuffers(); });
    dropWaiting();
}

void BackgroundReadPort::dropWaiting()
{
    const std::lock_guard lock(mutex_);
    waitingEnd_ = 0;
    waitingFrom_ = 0;
    noticeDue_ = true;
    readerStopped_ = false;
}

std::size_t BackgroundReadPort::readPiece()
{
    // The piece is read straight in after the waiting text, outside the lock: the owner
    // never looks past the waiting text's end, and only this thread resizes the buffer.
    std::size_t at = 0;
    char* into = nullptr;
    {
        const std::lock_guard lock(mutex_);
        at = waitingEnd_;
        if (waiting_.size() < at + kReadPieceBytes)
            waiting_.resize(at + kReadPieceBytes);
        into = waiting_.data() + at;
    }
    const std::size_t got = port_->readPending(into, kReadPieceBytes);
    const std::lock_guard lock(mutex_);
    // A take meanwhile emptied the waiting text: the piece moves up to its new end.
    if (waitingEnd_ != at)
        std::memmove(waiting_.data() + waitingEnd_, into, got);
    waitingEnd_ += got;
    return got;
}

void BackgroundReadPort::readAhead()
{
    // Piece by piece, each handed on at once, until nothing more waits or the bound is met.
    for (;;) {
        {
            const std::lock_guard lock(mutex_);
            if (waitingEnd_ - waitingFrom_ >= kWaitingBytes) {
                readerStopped_ = true;
                return;
            }
        }
        if (readPiece() == 0)
            return;
        bool tell = false;
        {
            const std::lock_guard lock(mutex_);
            if (noticeDue_ && waitingEnd_ - waitingFrom_ >= noticeBytes_) {
                noticeDue_ = false;
                tell = true;
            }
        }
        if (tell)
            tellOwner([this] {
                if (bytesArrived_)
                    bytesArrived_();
            });
    }
}

void BackgroundReadPort::passOnLostLink(const PortError& error)
{
    while (readPiece() > 0) {
    }
    tellOwner([this, error] {
        if (linkLostHandler_)
            linkLostHandler_(error);
    });
}

bool BackgroundReadPort::tookWaiting()
{
    noticeDue_ = true;
    return std::exchange(readerStopped_, false);
}

void BackgroundReadPort::readOnLater()
{
    QMetaObject::invokeMethod(readerContext_.get(), [this] { readAhead(); }, Qt::QueuedConnection);
}

std::string BackgroundReadPort::takePendingText()
{
    // What the system holds now is read first: a take (a Stop's last) misses nothing that
    // came before it.
    onReader([this] { readAhead(); });
    std::string text;
    bool readerStopped = false;
    {
        const std::lock_guard lock(mutex_);
        // Copied out, so the buffer keeps its size and the reading thread allocates nothing.
        text.assign(waiting_.data() + waitingFrom_, waitingEnd_ - waitingFrom_);
        waitingFrom_ = 0;
        waitingEnd_ = 0;
        readerStopped = tookWaiting();
    }
    if (readerStopped)
        readOnLater();
    return text;
}

int BackgroundReadPort::takeWaitingByte()
{
    bool readerStopped = false;
    int byte = -1;
    {
        const std::lock_guard lock(mutex_);
        if (waitingFrom_ < waitingEnd_) {
            byte = static_cast<unsigned char>(waiting_[waitingFrom_++]);
            if (waitingFrom_ == waitingEnd_) {
                waitingEnd_ = 0;
                waitingFrom_ = 0;
            }
            readerStopped = tookWaiting();
        }
    }
    if (readerStopped)
        readOnLater();
    return byte;
}

int BackgroundReadPort::takeByte()
{
    if (const int byte = takeWaitingByte(); byte >= 0)
        return byte;
    // Nothing waits: what the device sent since the reading thread last looked is read now.
    onReader([this] { readAhead(); });
    return takeWaitingByte();
}

bool BackgroundReadPort::sendByte(std::uint8_t byte)
{
    bool sent = false;
    onReader([this, byte, &sent] { sent = port_->sendByte(byte); });
    return sent;
}

void BackgroundReadPort::setBytesArrivedHandler(std::function<void()> handler)
{
    bytesArrived_ = std::move(handler);
}

void BackgroundReadPort::setLinkLostHandler(std::function<void(const PortError&)> handler)
{
    linkLostHandler_ = std::move(handler);
}

}  // namespace serial
