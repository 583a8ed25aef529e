#pragma once

#include <QObject>
#include <QSerialPort>

#include "serial/serial_port.h"

namespace serial {

// SerialPort on Qt SerialPort. Needs a Qt event loop on its thread for the
// arrival and link-lost notices; taking and sending work without one.
class QtSerialPort final : public QObject, public SerialPort {
    Q_OBJECT

public:
    explicit QtSerialPort(QObject* parent = nullptr);
    ~QtSerialPort() override;

    void setPortNumber(int number) override;
    int portNumber() const override;
    void open() override;
    bool isOpen() const override;
    void close() override;
    void clearBuffers() override;
    std::string takePendingText() override;
    // Reads up to `size` received bytes into `into` without waiting, in the order they
    // came, straight from the system where Qt holds none; how many, 0 when none waits.
    std::size_t readPending(char* into, std::size_t size);
    int takeByte() override;
    bool sendByte(std::uint8_t byte) override;
    void setBytesArrivedHandler(std::function<void()> handler) override;
    void setLinkLostHandler(std::function<void(const PortError&)> handler) override;

    // What Qt reads ahead of the taker. A full buffer stops Qt reading, and the
    // system's own buffer holds what comes next (a pseudo-terminal's writer waits), so
    // a fast device never grows the program; at the line's 9600 baud this is over
    // seventeen minutes of text.
    static constexpr qint64 kReadBufferBytes = qint64{1} << 20;

    // The device path behind the open port (as mapped), empty when closed.
    const std::string& device() const { return device_; }

private:
    PortError errorOf(PortFailure kind, const std::string& device, const QString& detail = QString()) const;
    // Reads what the system holds for the port into Qt's buffer, without
    // waiting and without passing the arrival on to the handler.
    bool pull();
    void onErrorOccurred(QSerialPort::SerialPortError error);
    void onReadyRead();
    // Whether the device behind the open port has hung up or failed.
    bool deviceHungUp() const;
    // Closes the port after the device went away, keeping what was received,
    // and reports the loss once from the event loop.
    void finishLostLink();

    QSerialPort port_;
    int number_ = kFirstPortNumber;
    std::string device_;
    std::string held_;  // received before the link was lost, not yet taken
    std::size_t heldPosition_ = 0;
    bool pulling_ = false;
    bool linkLost_ = false;
    std::function<void()> bytesArrived_;
    std::function<void(const PortError&)> linkLostHandler_;
};

}  // namespace serial
