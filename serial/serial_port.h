#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "serial/port_error.h"

namespace serial {

// Every port runs at these settings; no caller changes them.
struct LineSettings {
    static constexpr int kBaudRate = 9600;
    static constexpr int kDataBits = 8;
    static constexpr int kStopBits = 1;
    // No parity, no flow control.
};

// Port numbers name COM1 .. COM16.
constexpr int kFirstPortNumber = 1;
constexpr int kLastPortNumber = 16;

// One RS-232 port, addressed by its COM number. Everything runs on the
// thread that owns the port; nothing here ever waits for the line.
//
// Bytes received are kept until they are taken, up to a bound well beyond what
// the line carries in many minutes: a caller that stops reading for a while loses
// nothing, and a faster device (a pseudo-terminal) waits for the taker. When the device
// goes away (cable or USB adapter pulled) the port closes itself once, the
// bytes already received stay takeable, and the link-lost handler is told
// once, from the event loop.
class SerialPort {
public:
    virtual ~SerialPort() = default;

    // Selects COMn for the next open. Throws PortError (AlreadyOpen) while
    // the port is open; the number then stays as it was.
    virtual void setPortNumber(int number) = 0;
    // The number last set (1 before any is set).
    virtual int portNumber() const = 0;

    // Opens the device behind the port number at the line settings. Throws
    // PortError (NoSuchDevice, Busy, PermissionDenied, AlreadyOpen, Other);
    // after a failure the port is closed.
    virtual void open() = 0;
    virtual bool isOpen() const = 0;
    // Closes the port and drops what was not taken. Harmless when closed.
    virtual void close() = 0;

    // The command issued right after opening: empties the inbound and
    // outbound buffers. Throws PortError (NotOpen, Other).
    virtual void clearBuffers() = 0;

    // Every byte received since the last take, as single-byte text; empty
    // when nothing came or the port is closed. Never waits.
    virtual std::string takePendingText() = 0;
    // The oldest byte not yet taken, 0..255, or -1 when none waits. Never waits.
    virtual int takeByte() = 0;
    // Puts one byte on the line at once (not at the next event loop turn).
    // False when the port is not open or the device has gone.
    virtual bool sendByte(std::uint8_t byte) = 0;

    // Called from the event loop when new bytes have arrived; never from
    // inside takeByte or takePendingText, so the handler may take bytes
    // itself. An empty function removes the handler.
    virtual void setBytesArrivedHandler(std::function<void()> handler) = 0;
    // Called once, from the event loop, after the port closed itself because
    // the device went away; the error's kind is Lost.
    virtual void setLinkLostHandler(std::function<void(const PortError&)> handler) = 0;
};

}  // namespace serial
