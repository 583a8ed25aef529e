#include "serial/qt_serial_port.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include <QFile>
#include <QFileInfo>
#include <QMetaObject>

#include <unistd.h>

#include "serial/port_directory.h"

namespace serial {

namespace {

// What takePendingText reads at a time.
constexpr std::size_t kDirectReadBytes = std::size_t{64} << 10;

PortFailure classifyOpenFailure(QSerialPort::SerialPortError error, const std::string& device)
{
    const QByteArray path = QFile::encodeName(QString::fromStdString(device));
    if (!QFileInfo::exists(QString::fromStdString(device)) || error == QSerialPort::DeviceNotFoundError)
        return PortFailure::NoSuchDevice;
    if (error == QSerialPort::PermissionError) {
        // Qt reports a device locked by another program (its lock file, or
        // exclusive use) as a permission error too; the user's own access
        // rights tell the two apart.
        return ::access(path.constData(), R_OK | W_OK) == 0 ? PortFailure::Busy
                                                            : PortFailure::PermissionDenied;
    }
    return PortFailure::Other;
}

}  // namespace

QtSerialPort::QtSerialPort(QObject* parent) : QObject(parent)
{
    connect(&port_, &QSerialPort::errorOccurred, this, &QtSerialPort::onErrorOccurred);
    connect(&port_, &QSerialPort::readyRead, this, &QtSerialPort::onReadyRead);
}

QtSerialPort::~QtSerialPort()
{
    close();
}

void QtSerialPort::setPortNumber(int number)
{
    if (port_.isOpen())
        throw errorOf(PortFailure::AlreadyOpen, device_);
    number_ = number;
}

int QtSerialPort::portNumber() const
{
    return number_;
}

PortError QtSerialPort::errorOf(PortFailure kind, const std::string& device, const QString& detail) const
{
    return PortError(kind, number_, device, detail.toStdString(), portMappingFile());
}

void QtSerialPort::open()
{
    if (port_.isOpen())
        throw errorOf(PortFailure::AlreadyOpen, device_);
    const std::optional<PortEntry> entry = findPort(number_);
    if (!entry)
        throw errorOf(PortFailure::NoSuchDevice, std::string());

    // The resolved path, so that a device reached through a link and through
    // its own name shares one lock and counts as busy either way.
    const QFileInfo info(QString::fromStdString(entry->device));
    port_.setPortName(info.exists() ? info.canonicalFilePath() : info.filePath());
    port_.setBaudRate(LineSettings::kBaudRate);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    port_.setReadBufferSize(kReadBufferBytes);
    held_.clear();
    heldPosition_ = 0;
    linkLost_ = false;

    if (!port_.open(QIODevice::ReadWrite)) {
        const QSerialPort::SerialPortError error = port_.error();
        const QString detail = port_.errorString();
        port_.clearError();
        throw errorOf(classifyOpenFailure(error, entry->device), entry->device, detail);
    }
    device_ = entry->device;
    // Modem lines up for instruments and adapters that draw power from them;
    // pseudo-terminals refuse these calls, which does not matter.
    port_.setDataTerminalReady(true);
    port_.setRequestToSend(true);
    port_.clearError();
}

bool QtSerialPort::isOpen() const
{
    return port_.isOpen();
}

void QtSerialPort::close()
{
    if (port_.isOpen())
        port_.close();
    port_.clearError();
    device_.clear();
    held_.clear();
    heldPosition_ = 0;
    linkLost_ = false;
}

void QtSerialPort::clearBuffers()
{
    if (!port_.isOpen())
        throw errorOf(PortFailure::NotOpen, std::string());
    if (!port_.clear(QSerialPort::AllDirections)) {
        const QString detail = port_.errorString();
        port_.clearError();
        throw errorOf(PortFailure::Other, device_, detail);
    }
}

bool QtSerialPort::pull()
{
    if (!port_.isOpen())
        return false;
    pulling_ = true;
    const bool arrived = port_.waitForReadyRead(0);
    pulling_ = false;
    if (linkLost_)
        finishLostLink();
    return arrived;
}

std::string QtSerialPort::takePendingText()
{
    // At most what Qt's own buffer holds, as when Qt reads ahead.
    constexpr auto kBound = static_cast<std::size_t>(kReadBufferBytes);
    // Read through a buffer of its own: the text grows by what each read gives, with no
    // room made (and filled) for a read that gives less.
    std::string text;
    std::vector<char> piece(kDirectReadBytes);
    while (text.size() < kBound) {
        const std::size_t got = readPending(piece.data(), std::min(piece.size(), kBound - text.size()));
        if (got == 0)
            break;
        text.append(piece.data(), got);
    }
    return text;
}

std::size_t QtSerialPort::readPending(char* into, std::size_t size)
{
    // Bytes kept from before a lost link first, then what Qt has read, then the system's.
    const std::size_t held = std::min(size, held_.size() - heldPosition_);
    std::copy_n(held_.data() + heldPosition_, held, into);
    heldPosition_ += held;
    if (heldPosition_ == held_.size()) {
        held_.clear();
        heldPosition_ = 0;
    }
    std::size_t got = held;
    if (got < size && port_.isOpen() && port_.bytesAvailable() > 0)
        got += static_cast<std::size_t>(std::max<qint64>(port_.read(into + got, static_cast<qint64>(size - got)), 0));
    if (got == size || !port_.isOpen() || port_.bytesAvailable() > 0)
        return got;
    const ssize_t read = ::read(static_cast<int>(port_.handle()), into + got, size - got);
    if (read > 0)
        return got + static_cast<std::size_t>(read);
    // A device gone or failing is left to Qt, which finds and reports it; what Qt reads
    // meanwhile comes with the next call.
    if (read == 0 || errno != EAGAIN)
        pull();
    return got;
}

int QtSerialPort::takeByte()
{
    if (port_.isOpen() && port_.bytesAvailable() == 0)
        pull();
    if (heldPosition_ < held_.size())
        return static_cast<unsigned char>(held_[heldPosition_++]);
    char byte = 0;
    if (port_.isOpen() && port_.getChar(&byte))
        return static_cast<unsigned char>(byte);
    return -1;
}

bool QtSerialPort::sendByte(std::uint8_t byte)
{
    if (!port_.isOpen())
        return false;
    const char c = static_cast<char>(byte);
    const bool queued = port_.write(&c, 1) == 1;
    // Qt holds written bytes until its event loop runs; an acknowledgement
    // must be on the line now.
    port_.flush();
    if (linkLost_)
        finishLostLink();
    return queued && port_.isOpen();
}

void QtSerialPort::setBytesArrivedHandler(std::function<void()> handler)
{
    bytesArrived_ = std::move(handler);
}

void QtSerialPort::setLinkLostHandler(std::function<void(const PortError&)> handler)
{
    linkLostHandler_ = std::move(handler);
}

void QtSerialPort::onReadyRead()
{
    if (!pulling_ && bytesArrived_)
        bytesArrived_();
}

void QtSerialPort::onErrorOccurred(QSerialPort::SerialPortError error)
{
    // Zero-wait pulls report time-outs and pseudo-terminals refuse modem
    // line calls; neither is a fault, nor is a write the system cannot take
    // yet (Qt keeps the byte and tries again). Read and resource errors on an
    // open port mean the device has gone (a write to a gone device is a
    // resource error too): Qt would repeat them for as long as the port stays
    // open.
    if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError)
        return;
    if (!port_.isOpen() || linkLost_)
        return;
    // Qt reports a read that found nothing as a read error too, or as a
    // resource error when the thread's last failed call happened to leave
    // EAGAIN behind: that happens when its notifier fires for bytes already
    // taken (by a zero-wait pull, or read straight from the system). Only a
    // device that has hung up or failed is gone. Qt stops watching the port
    // after a resource error; a peek that finds Qt's buffer empty has it watch
    // again, and takes nothing.
    if (!deviceHungUp()) {
        port_.clearError();
        char ignored = 0;
        port_.peek(&ignored, 1);
        return;
    }
    linkLost_ = true;
    // Qt is still inside its own read or write here; close from outside it.
    if (!pulling_)
        QMetaObject::invokeMethod(this, &QtSerialPort::finishLostLink, Qt::QueuedConnection);
}

bool QtSerialPort::deviceHungUp() const
{
    pollfd device{static_cast<int>(port_.handle()), POLLIN, 0};
    if (::poll(&device, 1, 0) < 0)
        return true;
    return (device.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

void QtSerialPort::finishLostLink()
{
    // A queued call may come after the port was closed or opened again.
    if (!linkLost_ || !port_.isOpen())
        return;
    const QString detail = port_.errorString();
    held_ = held_.substr(heldPosition_) + port_.readAll().toStdString();
    heldPosition_ = 0;
    port_.close();
    port_.clearError();
    const PortError lost = errorOf(PortFailure::Lost, device_, detail);
    device_.clear();
    QMetaObject::invokeMethod(
        this,
        [this, lost] {
            if (linkLostHandler_)
                linkLostHandler_(lost);
        },
        Qt::QueuedConnection);
}

}  // namespace serial
