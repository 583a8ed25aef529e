#pragma once

#include <functional>
#include <string>

#include "serial/serial_port.h"
#include "tabwright/capture/text_source.h"

namespace tabwright {

// The instrument's text as the serial port receives it. The port's number is set by its
// owner; a closed or lost port gives no text.
class SerialPortSource final : public TextSource {
public:
    explicit SerialPortSource(serial::SerialPort& port) : port_(port) {}

    void open() override { port_.open(); }
    bool isOpen() const override { return port_.isOpen(); }
    void close() override;
    std::string takePendingText() override { return port_.takePendingText(); }
    void setLinkLostHandler(std::function<void()> handler) override;

private:
    serial::SerialPort& port_;
};

}  // namespace tabwright
