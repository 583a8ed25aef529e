#pragma once

#include "serial/serial_port.h"

namespace tabwright {

// The port of a capture whose text comes from an emulated instrument: Start
// opens a port, yet while the emulator is open the capture reads none, so
// this one opens without a device and never holds a byte.
class EmulatorOnlyPort : public serial::SerialPort {
public:
    void setPortNumber(int number) override { number_ = number; }
    int portNumber() const override { return number_; }
    void open() override { open_ = true; }
    bool isOpen() const override { return open_; }
    void close() override { open_ = false; }
    void clearBuffers() override {}
    std::string takePendingText() override { return {}; }
    int takeByte() override { return -1; }
    bool sendByte(std::uint8_t) override { return false; }
    void setBytesArrivedHandler(std::function<void()>) override {}
    void setLinkLostHandler(std::function<void(const serial::PortError&)>) override {}

private:
    int number_ = 1;
    bool open_ = false;
};

}  // namespace tabwright
