#include "serial/background_read_port.h"

#include <exception>
#include <utility>

#include <QMetaObject>

#include "serial/qt_serial_port.h"

namespace serial {

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
    waiting_.clear();
    waitingFrom_ = 0;
    noticeDue_ = true;
    readerStopped_ = false;
}

void BackgroundReadPort::readAhead()
{
    {
        const std::lock_guard lock(mutex_);
        if (waiting_.size() - waitingFrom_ >= kWaitingBytes) {
            readerStopped_ = true;
            return;
        }
    }
    // Read outside the lock, into storage kept from one read to the next.
    port_->appendPendingText(reading_);
    if (reading_.empty())
        return;
    bool tell = false;
    {
        const std::lock_guard lock(mutex_);
        if (waiting_.empty())
            waiting_.swap(reading_);
        else
            waiting_ += reading_;
        reading_.clear();
        if (noticeDue_ && waiting_.size() - waitingFrom_ >= noticeBytes_) {
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

void BackgroundReadPort::passOnLostLink(const PortError& error)
{
    port_->appendPendingText(reading_);
    {
        const std::lock_guard lock(mutex_);
        waiting_ += reading_;
    }
    reading_.clear();
    tellOwner([this, error] {
        if (linkLostHandler_)
            linkLostHandler_(error);
    });
}

std::string BackgroundReadPort::takePendingText()
{
    std::string text;
    bool readerStopped = false;
    {
        const std::lock_guard lock(mutex_);
        text.swap(waiting_);
        text.erase(0, std::exchange(waitingFrom_, 0));
        noticeDue_ = true;
        readerStopped = std::exchange(readerStopped_, false);
    }
    if (readerStopped)
        QMetaObject::invokeMethod(readerContext_.get(), [this] { readAhead(); }, Qt::QueuedConnection);
    return text;
}

int BackgroundReadPort::takeWaitingByte()
{
    bool readerStopped = false;
    int byte = -1;
    {
        const std::lock_guard lock(mutex_);
        if (waitingFrom_ < waiting_.size()) {
            byte = static_cast<unsigned char>(waiting_[waitingFrom_++]);
            if (waitingFrom_ == waiting_.size()) {
                waiting_.clear();
                waitingFrom_ = 0;
            }
            noticeDue_ = true;
            readerStopped = std::exchange(readerStopped_, false);
        }
    }
    if (readerStopped)
        QMetaObject::invokeMethod(readerContext_.get(), [this] { readAhead(); }, Qt::QueuedConnection);
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
